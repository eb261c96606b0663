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

// clang-format off
const DialogControl g_controls[] = {
    //  id                         kind               member                           x    y    w    h    normal / pressed / disabled                                                 caption, tab order, stop, group
    {IDC_BTN_START,             KIND_SKIN_BUTTON, &Member<&D::m_btnStart>,             357, 410, 310, 42, IDB_START_NORMAL, IDB_START_PRESSED, IDB_START_DISABLED,                 "&Start Software Download", 8, true, false},
    {IDC_IMG_PRESS_START,       KIND_PICTURE,     &Member<&D::m_imgPressStart>,        105,  77,   0,  0, IDB_PRESS_START, 0, 0,
     "Please press the button below to start the software download.", 10, false, true},
    {IDC_IMG_SUCCESS,           KIND_PICTURE,     &Member<&D::m_imgSuccess>,           107,  82,   0,  0, IDB_SUCCESS, 0, 0,                                                   "Software Download Success", 13, false, false},
    {IDC_IMG_FAILED,            KIND_PICTURE,     &Member<&D::m_imgFailed>,            105,  81,   0,  0, IDB_FAILED, 0, 0,
     "Software Upgrade Failed. Please disconnect the device from your PC, remove the battery, wait 5 seconds and retry.", 17, false, false},
    {IDC_IMG_UPDATING,          KIND_PICTURE,     &Member<&D::m_imgUpdating>,          105,  79,   0,  0, IDB_UPDATING, 0, 0,                                                  "Updating. Do Not Disconnect!", 12, false, false},
    {IDC_IMG_CABLE_LARGE,       KIND_PICTURE,     &Member<&D::m_imgCableLarge>,        182, 177,   0,  0, IDB_CABLE_LARGE, 0, 0,                                               "The device joined to a computer by its USB cable", 14, false, false},
    {IDC_IMG_CONNECTED,         KIND_PICTURE,     &Member<&D::m_imgConnected>,          95,  70,   0,  0, IDB_CONNECTED, 0, 0,                                                 "Your device is connected. Press Next to continue.", 15, false, false},
    {IDC_IMG_CABLE_SMALL,       KIND_PICTURE,     &Member<&D::m_imgCableSmall>,        296, 172,   0,  0, IDB_CABLE_SMALL, 0, 0,                                               "The device joined to a computer by its USB cable", 16, false, false},
    {IDC_BTN_BACK,              KIND_SKIN_BUTTON, &Member<&D::m_btnBack>,              710, 530, 132, 46, IDB_BACK_NORMAL, IDB_BACK_PRESSED, 0,                                    "&Back", 6, true, true},
    {IDC_BTN_NEXT,              KIND_SKIN_BUTTON, &Member<&D::m_btnNext>,              862, 530, 132, 46, IDB_NEXT_NORMAL, IDB_NEXT_PRESSED, IDB_NEXT_DISABLED,                    "&Next", 7, true, false},
    {IDC_BTN_EXIT,              KIND_SKIN_BUTTON, &Member<&D::m_btnExit>,               20, 530, 132, 46, IDB_EXIT_NORMAL, IDB_EXIT_PRESSED, 0,                                    "E&xit", 9, true, false},
    {IDC_RADIO_LICENSE_ACCEPT,  KIND_SKIN_BUTTON, &Member<&D::m_radioLicenseAccept>,   115, 435, 406, 33, IDB_LICENSE_ACCEPT_NORMAL, IDB_LICENSE_ACCEPT_CHECKED, 0,                "I &accept the terms in the license agreement.", 2, false, true},
    {IDC_RADIO_LICENSE_DECLINE, KIND_SKIN_BUTTON, &Member<&D::m_radioLicenseDecline>,  115, 470, 406, 33, IDB_LICENSE_DECLINE_NORMAL, IDB_LICENSE_DECLINE_CHECKED, 0,              "I &do not accept the terms in the license agreement.", 3, false, false},
    {IDC_RADIO_NOTICE_ACCEPT,   KIND_SKIN_BUTTON, &Member<&D::m_radioNoticeAccept>,    260, 400, 324, 54, IDB_NOTICE_ACCEPT_NORMAL, IDB_NOTICE_ACCEPT_CHECKED, 0,                  "&Accept", 4, false, true},
    {IDC_RADIO_NOTICE_DECLINE,  KIND_SKIN_BUTTON, &Member<&D::m_radioNoticeDecline>,   530, 400, 324, 54, IDB_NOTICE_DECLINE_NORMAL, IDB_NOTICE_DECLINE_CHECKED, 0,                "&Decline", 5, false, false},
    {IDC_PROGRESS,              KIND_PROGRESS,    &Member<&D::m_progress>,             137, 370, 750, 20, 0, 0, 0,                                                                 nullptr, 11, false, false},
    {IDC_RICH_LICENSE,          KIND_RICH_EDIT,   &Member<&D::m_richLicense>,          115, 140, 780, 280, 0, 0, 0,                                                                nullptr, 1, true, false},
    {IDC_TEXT_RUN_PROGRESS,     KIND_TEXT,        &Member<&D::m_textRunProgress>,      137, 466, 750, 22, 0, 0, 0,                                                                 nullptr, 18, false, false},
    {IDC_TEXT_GUIDANCE,         KIND_TEXT,        &Member<&D::m_textGuidance>,         137, 154, 750, 40, 0, 0, 0,                                                                 nullptr, 19, false, false},
    {IDC_BTN_SAVE_REPORT,       KIND_PUSH_BUTTON, &Member<&D::m_btnSaveReport>,         20, 538, 230, 32, 0, 0, 0,                                                                 "Sa&ve support report...", 20, true, false},
    {IDC_BTN_COPY_DETAILS,      KIND_PUSH_BUTTON, &Member<&D::m_btnCopyDetails>,       262, 538, 150, 32, 0, 0, 0,                                                                 "&Copy details", 21, true, false},
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
