#include "app/dialog_controls.h"

#include "app/resource_ids.h"
#include "app/upgrade_dialog.h"

namespace {

using D = CVelmoraEUT_KRT_P940Dlg;

template <auto pMember>
CWnd& Member(D& dlg)
{
    return dlg.*pMember;
}

template <int nId>
CWnd& PageText(D& dlg)
{
    return dlg.PageText(nId);
}

// The header's step name and count, and the texts the download sets as it goes, are not the table's.
constexpr const char* SET_BY_DIALOG = nullptr;

// clang-format off
const DialogControl g_controls[] = {
    //  id                         kind               member                           x    y    w    h    normal / pressed / disabled                                                 caption, tab order, stop, group, context, style
    {IDC_BTN_START,             KIND_SKIN_BUTTON, &Member<&D::m_btnStart>,             357, 410, 310, 42, IDB_START_NORMAL, IDB_START_PRESSED, IDB_START_DISABLED,                 "&Start Software Download", 8, true, false, nullptr, TEXT_STYLE_CAPTION_START},
    {IDC_IMG_PRESS_START,       KIND_PICTURE,     &Member<&D::m_imgPressStart>,        105,  77,   0,  0, IDB_PRESS_START, 0, 0,
     "Please press the button below to start the software download.", 10, false, true, nullptr, TEXT_STYLE_BANNER},
    {IDC_IMG_SUCCESS,           KIND_PICTURE,     &Member<&D::m_imgSuccess>,           107,  82,   0,  0, IDB_SUCCESS, 0, 0,                                                   "Software Download Success", 13, false, false, nullptr, TEXT_STYLE_BANNER},
    {IDC_IMG_FAILED,            KIND_PICTURE,     &Member<&D::m_imgFailed>,            105,  81,   0,  0, IDB_FAILED, 0, 0,                                                    "Software Upgrade Failed", 17, false, false, nullptr, TEXT_STYLE_BANNER_TITLE, FLOW_NONE, 0,
     "Please disconnect the device from your PC, remove the battery, wait 5 seconds and retry."},
    {IDC_IMG_UPDATING,          KIND_PICTURE,     &Member<&D::m_imgUpdating>,          105,  79,   0,  0, IDB_UPDATING, 0, 0,                                                  "Updating. Do Not Disconnect!", 12, false, false, nullptr, TEXT_STYLE_BANNER},
    {IDC_IMG_CABLE_LARGE,       KIND_PICTURE,     &Member<&D::m_imgCableLarge>,        182, 177,   0,  0, IDB_CABLE_LARGE, 0, 0,                                               "The device joined to a computer by its USB cable", 14, false, false},
    {IDC_IMG_CONNECTED,         KIND_PICTURE,     &Member<&D::m_imgConnected>,          95,  70,   0,  0, IDB_CONNECTED, 0, 0,                                                 "Your device is connected. Press Next to continue.", 15, false, false, nullptr, TEXT_STYLE_BANNER},
    {IDC_IMG_CABLE_SMALL,       KIND_PICTURE,     &Member<&D::m_imgCableSmall>,        296, 172,   0,  0, IDB_CABLE_SMALL, 0, 0,                                               "The device joined to a computer by its USB cable", 16, false, false},
    {IDC_BTN_BACK,              KIND_SKIN_BUTTON, &Member<&D::m_btnBack>,              710, 530, 132, 46, IDB_BACK_NORMAL, IDB_BACK_PRESSED, 0,                                    "&Back", 6, true, true, nullptr, TEXT_STYLE_CAPTION_BACK},
    {IDC_BTN_NEXT,              KIND_SKIN_BUTTON, &Member<&D::m_btnNext>,              862, 530, 132, 46, IDB_NEXT_NORMAL, IDB_NEXT_PRESSED, IDB_NEXT_DISABLED,                    "&Next", 7, true, false, nullptr, TEXT_STYLE_CAPTION_NEXT},
    {IDC_BTN_EXIT,              KIND_SKIN_BUTTON, &Member<&D::m_btnExit>,               20, 530, 132, 46, IDB_EXIT_NORMAL, IDB_EXIT_PRESSED, 0,                                    "E&xit", 9, true, false, nullptr, TEXT_STYLE_CAPTION_EXIT},
    {IDC_RADIO_LICENSE_ACCEPT,  KIND_SKIN_BUTTON, &Member<&D::m_radioLicenseAccept>,   115, 435, 406, 33, IDB_LICENSE_ACCEPT_NORMAL, IDB_LICENSE_ACCEPT_CHECKED, 0,                "I &accept the terms in the license agreement.", 2, false, true, nullptr, TEXT_STYLE_CAPTION_LICENSE},
    {IDC_RADIO_LICENSE_DECLINE, KIND_SKIN_BUTTON, &Member<&D::m_radioLicenseDecline>,  115, 470, 406, 33, IDB_LICENSE_DECLINE_NORMAL, IDB_LICENSE_DECLINE_CHECKED, 0,              "I &do not accept the terms in the license agreement.", 3, false, false, nullptr, TEXT_STYLE_CAPTION_LICENSE},
    {IDC_RADIO_NOTICE_ACCEPT,   KIND_SKIN_BUTTON, &Member<&D::m_radioNoticeAccept>,    260, 400, 324, 54, IDB_NOTICE_ACCEPT_NORMAL, IDB_NOTICE_ACCEPT_CHECKED, 0,                  "&Accept", 4, false, true, nullptr, TEXT_STYLE_CAPTION_NOTICE},
    {IDC_RADIO_NOTICE_DECLINE,  KIND_SKIN_BUTTON, &Member<&D::m_radioNoticeDecline>,   530, 400, 324, 54, IDB_NOTICE_DECLINE_NORMAL, IDB_NOTICE_DECLINE_CHECKED, 0,                "&Decline", 5, false, false, nullptr, TEXT_STYLE_CAPTION_NOTICE},
    {IDC_PROGRESS,              KIND_PROGRESS,    &Member<&D::m_progress>,             137, 370, 750, 20, 0, 0, 0,                                                                 nullptr, 11, false, false},
    {IDC_RICH_LICENSE,          KIND_RICH_EDIT,   &Member<&D::m_richLicense>,          115, 140, 780, 280, 0, 0, 0,                                                                nullptr, 1, true, false},
    {IDC_TEXT_RUN_PROGRESS,     KIND_TEXT,        &Member<&D::m_textRunProgress>,      137, 457, 750, 40, 0, 0, 0,                                                                 SET_BY_DIALOG, 18, false, false, nullptr, TEXT_STYLE_RUN_PROGRESS},
    {IDC_TEXT_GUIDANCE,         KIND_TEXT,        &Member<&D::m_textGuidance>,         137, 154, 750, 200, 0, 0, 0,                                                                 SET_BY_DIALOG, 19, false, false, nullptr, TEXT_STYLE_GUIDANCE},
    {IDC_BTN_SAVE_REPORT,       KIND_PUSH_BUTTON, &Member<&D::m_btnSaveReport>,         20, 538, 230, 32, 0, 0, 0,                                                                 "Sa&ve support report...", 20, true, false, nullptr, TEXT_STYLE_GUIDANCE},
    {IDC_BTN_COPY_DETAILS,      KIND_PUSH_BUTTON, &Member<&D::m_btnCopyDetails>,       262, 538, 150, 32, 0, 0, 0,                                                                 "&Copy details", 21, true, false, nullptr, TEXT_STYLE_GUIDANCE},

    // The words of the pages. Their boxes are the artwork's lines with room below or beside them for a
    // longer translation: a paragraph's box starts at its first line's baseline less the typeface's ascent;
    // a line stands in the middle of a band, with room for a taller script above and below it.
    //  id                             kind       member                                  x    y    w    h     caption, tab order, stop, group, context, style, flow, after
    {IDC_TEXT_HEADER_PRODUCT,       KIND_TEXT, &PageText<IDC_TEXT_HEADER_PRODUCT>,        68,   0, 100,  58, 0, 0, 0, "KRT-P940", 30, false, true, nullptr, TEXT_STYLE_HEADER_PRODUCT},
    {IDC_TEXT_HEADER_TOOL,          KIND_TEXT, &PageText<IDC_TEXT_HEADER_TOOL>,          180,   2, 300,  58, 0, 0, 0, "SW Upgrade", 31, false, false, "header", TEXT_STYLE_HEADER_TOOL, FLOW_AFTER, IDC_TEXT_HEADER_PRODUCT},
    {IDC_TEXT_HEADER_STEP,          KIND_TEXT, &PageText<IDC_TEXT_HEADER_STEP>,          523,   0, 480,  38, 0, 0, 0, SET_BY_DIALOG, 32, false, false, nullptr, TEXT_STYLE_HEADER_STEP},
    {IDC_TEXT_INTRO_WELCOME,        KIND_TEXT, &PageText<IDC_TEXT_INTRO_WELCOME>,          60,  96, 540,  30, 0, 0, 0, "WELCOME", 33, false, false, nullptr, TEXT_STYLE_EYEBROW},
    {IDC_TEXT_INTRO_TITLE,          KIND_TEXT, &PageText<IDC_TEXT_INTRO_TITLE>,           60, 126, 540,  43, 0, 0, 0, "KRT-P940 Software Upgrade", 34, false, false, nullptr, TEXT_STYLE_TITLE},
    {IDC_TEXT_INTRO_LEAD,           KIND_TEXT, &PageText<IDC_TEXT_INTRO_LEAD>,             60, 181, 460,  96, 0, 0, 0, "This wizard installs new software on your Velmora KRT-P940 4G LTE Mobile Hotspot.", 35, false, false, nullptr, TEXT_STYLE_LEAD, FLOW_BELOW, IDC_TEXT_INTRO_TITLE},
    {IDC_TEXT_INTRO_ONLY_THIS,      KIND_TEXT, &PageText<IDC_TEXT_INTRO_ONLY_THIS>,      132, 285, 446,  72, 0, 0, 0, "This tool is meant only for upgrading the KRT-P940. Do not use it with any other device.", 36, false, false, nullptr, TEXT_STYLE_BODY_PANEL},
    {IDC_TEXT_INTRO_OTHERS,         KIND_TEXT, &PageText<IDC_TEXT_INTRO_OTHERS>,         132, 373, 446,  72, 0, 0, 0, "Using this tool on other devices can make them stop working.", 37, false, false, nullptr, TEXT_STYLE_BODY_PANEL},
    {IDC_TEXT_INTRO_NEXT,           KIND_TEXT, &PageText<IDC_TEXT_INTRO_NEXT>,             60, 456, 540,  44, 0, 0, 0, "Click Next to continue.", 38, false, false, nullptr, TEXT_STYLE_BODY_MUTED},
    {IDC_TEXT_LICENSE_HEADING,      KIND_TEXT, &PageText<IDC_TEXT_LICENSE_HEADING>,      115,  63, 780,  47, 0, 0, 0, "End-User License Agreement", 39, false, false, nullptr, TEXT_STYLE_HEADING},
    {IDC_TEXT_LICENSE_LEAD,         KIND_TEXT, &PageText<IDC_TEXT_LICENSE_LEAD>,         115, 112, 780,  28, 0, 0, 0, "Please read the following license agreement carefully. Accept it to continue.", 40, false, false, nullptr, TEXT_STYLE_NOTE_LINE, FLOW_BELOW, IDC_TEXT_LICENSE_HEADING},
    {IDC_TEXT_NOTICE_HEADING,       KIND_TEXT, &PageText<IDC_TEXT_NOTICE_HEADING>,       184,  93,  79,  61, 0, 0, 0, "Notice", 41, false, false, nullptr, TEXT_STYLE_HEADING_BOLD},
    {IDC_TEXT_NOTICE_LEAD,          KIND_TEXT, &PageText<IDC_TEXT_NOTICE_LEAD>,          280, 116, 610,  44, 0, 0, 0, "Please read before you start the upgrade.", 42, false, false, nullptr, TEXT_STYLE_BODY_MUTED, FLOW_AFTER, IDC_TEXT_NOTICE_HEADING},
    {IDC_TEXT_NOTICE_SETTINGS,      KIND_TEXT, &PageText<IDC_TEXT_NOTICE_SETTINGS>,      228, 191, 662,  22, 0, 0, 0, "All user settings return to their factory defaults after the upgrade.", 43, false, false, nullptr, TEXT_STYLE_POINT},
    {IDC_TEXT_NOTICE_SETTINGS_NOTE, KIND_TEXT, &PageText<IDC_TEXT_NOTICE_SETTINGS_NOTE>, 228, 218, 662,  19, 0, 0, 0, "Write down your settings, such as the Wi-Fi name, passwords and APN, before you start.", 44, false, false, nullptr, TEXT_STYLE_NOTE, FLOW_BELOW, IDC_TEXT_NOTICE_SETTINGS},
    {IDC_TEXT_NOTICE_BATTERY,       KIND_TEXT, &PageText<IDC_TEXT_NOTICE_BATTERY>,       228, 281, 662,  22, 0, 0, 0, "The battery must be charged enough before the upgrade starts.", 45, false, false, nullptr, TEXT_STYLE_POINT, FLOW_BELOW, IDC_TEXT_NOTICE_SETTINGS_NOTE},
    {IDC_TEXT_NOTICE_BATTERY_NOTE,  KIND_TEXT, &PageText<IDC_TEXT_NOTICE_BATTERY_NOTE>,  228, 308, 662,  68, 0, 0, 0, "The power button lights green when the charge is sufficient.", 46, false, false, nullptr, TEXT_STYLE_NOTE, FLOW_BELOW, IDC_TEXT_NOTICE_BATTERY},
    {IDC_TEXT_MODE_HEADING,         KIND_TEXT, &PageText<IDC_TEXT_MODE_HEADING>,           40,  63, 944,  43, 0, 0, 0, "Put the device into download mode", 47, false, false, nullptr, TEXT_STYLE_SUBHEADING},
    {IDC_TEXT_MODE_LEAD,            KIND_TEXT, &PageText<IDC_TEXT_MODE_LEAD>,              40, 109, 944,  30, 0, 0, 0, "Follow the steps below with the device switched off.", 48, false, false, nullptr, TEXT_STYLE_NOTE_LINE, FLOW_BELOW, IDC_TEXT_MODE_HEADING},
    {IDC_TEXT_MODE_STEP1,           KIND_TEXT, &PageText<IDC_TEXT_MODE_STEP1>,             90, 319, 176, 121, 0, 0, 0, "Turn the device off and unplug the USB cable.", 49, false, false, nullptr, TEXT_STYLE_STEP},
    {IDC_TEXT_MODE_STEP2,           KIND_TEXT, &PageText<IDC_TEXT_MODE_STEP2>,           329, 319, 176, 121, 0, 0, 0, "Remove the battery cover.", 50, false, false, nullptr, TEXT_STYLE_STEP},
    {IDC_TEXT_MODE_STEP3,           KIND_TEXT, &PageText<IDC_TEXT_MODE_STEP3>,           568, 319, 176, 121, 0, 0, 0, "Press and hold the WPS and POWER buttons together until the three LEDs light blue.", 51, false, false, nullptr, TEXT_STYLE_STEP},
    {IDC_TEXT_MODE_STEP4,           KIND_TEXT, &PageText<IDC_TEXT_MODE_STEP4>,           807, 319, 176, 121, 0, 0, 0, "Three steady blue LEDs mean the device is in download mode.", 52, false, false, nullptr, TEXT_STYLE_STEP},
    {IDC_TEXT_MODE_STEP5,           KIND_TEXT, &PageText<IDC_TEXT_MODE_STEP5>,            76, 460, 908,  44, 0, 0, 0, "Replace the battery cover, then click Next.", 53, false, false, nullptr, TEXT_STYLE_BODY},
    {IDC_TEXT_CONNECT_HEADING,      KIND_TEXT, &PageText<IDC_TEXT_CONNECT_HEADING>,      105,  63, 800,  43, 0, 0, 0, "Connect the device to your computer", 54, false, false, nullptr, TEXT_STYLE_SUBHEADING},
    {IDC_TEXT_CONNECT_LEAD,         KIND_TEXT, &PageText<IDC_TEXT_CONNECT_LEAD>,         105, 111, 800,  59, 0, 0, 0, "Plug the USB cable into the device and into a USB port of your computer.", 55, false, false, nullptr, TEXT_STYLE_NOTE, FLOW_BELOW, IDC_TEXT_CONNECT_HEADING},
    {IDC_TEXT_CONNECT_NOTE,         KIND_TEXT, &PageText<IDC_TEXT_CONNECT_NOTE>,         112, 461, 800,  44, 0, 0, 0, "The wizard finds the device by itself and enables Next once it is connected.", 56, false, false, nullptr, TEXT_STYLE_NOTE_CENTRED},
    {IDC_TEXT_DONE_HEADING,         KIND_TEXT, &PageText<IDC_TEXT_DONE_HEADING>,         118,  63, 866,  61, 0, 0, 0, "Your device software was upgraded successfully.", 57, false, false, nullptr, TEXT_STYLE_HEADING},
    {IDC_TEXT_DONE_LEAD,            KIND_TEXT, &PageText<IDC_TEXT_DONE_LEAD>,             60, 146, 600,  20, 0, 0, 0, "To finish the upgrade:", 58, false, false, nullptr, TEXT_STYLE_BODY_STRONG_MUTED, FLOW_BELOW, IDC_TEXT_DONE_HEADING},
    {IDC_TEXT_DONE_STEP1,           KIND_TEXT, &PageText<IDC_TEXT_DONE_STEP1>,             96, 180, 644,  20, 0, 0, 0, "Unplug the USB cable from the device.", 59, false, false, nullptr, TEXT_STYLE_BODY, FLOW_BELOW, IDC_TEXT_DONE_LEAD},
    {IDC_TEXT_DONE_STEP2,           KIND_TEXT, &PageText<IDC_TEXT_DONE_STEP2>,             96, 217, 644,  20, 0, 0, 0, "Open the battery cover.", 60, false, false, nullptr, TEXT_STYLE_BODY, FLOW_BELOW, IDC_TEXT_DONE_STEP1},
    {IDC_TEXT_DONE_STEP3,           KIND_TEXT, &PageText<IDC_TEXT_DONE_STEP3>,             96, 254, 644,  20, 0, 0, 0, "Press and hold the RESET button until the three LEDs light white.", 61, false, false, nullptr, TEXT_STYLE_BODY, FLOW_BELOW, IDC_TEXT_DONE_STEP2},
    {IDC_TEXT_DONE_STEP4,           KIND_TEXT, &PageText<IDC_TEXT_DONE_STEP4>,             96, 291, 644,  20, 0, 0, 0, "The device resets. Replace the battery cover.", 62, false, false, nullptr, TEXT_STYLE_BODY, FLOW_BELOW, IDC_TEXT_DONE_STEP3},
    {IDC_TEXT_DONE_STEP5,           KIND_TEXT, &PageText<IDC_TEXT_DONE_STEP5>,             96, 328, 644,  20, 0, 0, 0, "Wait about one minute until the device has started.", 63, false, false, nullptr, TEXT_STYLE_BODY, FLOW_BELOW, IDC_TEXT_DONE_STEP4},
    {IDC_TEXT_DONE_STEP6,           KIND_TEXT, &PageText<IDC_TEXT_DONE_STEP6>,             96, 365, 644,  40, 0, 0, 0, "The Wi-Fi password and the web server password are back to the defaults printed on the label under the battery cover.", 64, false, false, nullptr, TEXT_STYLE_BODY, FLOW_BELOW, IDC_TEXT_DONE_STEP5},
    {IDC_TEXT_DONE_STEP7,           KIND_TEXT, &PageText<IDC_TEXT_DONE_STEP7>,             96, 422, 644,  86, 0, 0, 0, "To set up the device again, connect to its Wi-Fi and open http://192.168.0.1 in a web browser.", 65, false, false, nullptr, TEXT_STYLE_BODY, FLOW_BELOW, IDC_TEXT_DONE_STEP6},
};
// clang-format on

}  // namespace

std::span<const DialogControl> DialogControls()
{
    return g_controls;
}

const DialogControl* FindDialogControl(int nId)
{
    for (const DialogControl& control : g_controls) {
        if (control.nId == nId) {
            return &control;
        }
    }
    return nullptr;
}
