#include "app/page_layout.h"

#include "app/resource_ids.h"

namespace {

const ControlPlace g_places[] = {
    {IDC_BTN_EXIT, 20, 530, 132, 46, IDB_EXIT_NORMAL, IDB_EXIT_PRESSED, 0, "E&xit"},
    {IDC_BTN_BACK, 710, 530, 132, 46, IDB_BACK_NORMAL, IDB_BACK_PRESSED, 0, "&Back"},
    {IDC_BTN_NEXT, 862, 530, 132, 46, IDB_NEXT_NORMAL, IDB_NEXT_PRESSED, IDB_NEXT_DISABLED, "&Next"},
    {IDC_RADIO_LICENSE_ACCEPT, 115, 435, 406, 33, IDB_LICENSE_ACCEPT_NORMAL, IDB_LICENSE_ACCEPT_CHECKED, 0,
     "I &accept the terms in the license agreement."},
    {IDC_RADIO_LICENSE_DECLINE, 115, 470, 406, 33, IDB_LICENSE_DECLINE_NORMAL, IDB_LICENSE_DECLINE_CHECKED, 0,
     "I &do not accept the terms in the license agreement."},
    {IDC_RADIO_NOTICE_ACCEPT, 260, 400, 324, 54, IDB_NOTICE_ACCEPT_NORMAL, IDB_NOTICE_ACCEPT_CHECKED, 0, "&Accept"},
    {IDC_RADIO_NOTICE_DECLINE, 530, 400, 324, 54, IDB_NOTICE_DECLINE_NORMAL, IDB_NOTICE_DECLINE_CHECKED, 0, "&Decline"},
    {IDC_BTN_START, 357, 410, 310, 42, IDB_START_NORMAL, IDB_START_PRESSED, IDB_START_DISABLED, "&Start Software Download"},
    {IDC_RICH_LICENSE, 115, 140, 780, 280, 0, 0, 0, nullptr},
    {IDC_PROGRESS, 137, 370, 750, 20, 0, 0, 0, nullptr},
};

// Where the dialog template put them at 96 dpi.
const PicturePlace g_pictures[] = {
    {IDC_IMG_PRESS_START, 105, 77, IDB_PRESS_START, "Please press the button below to start the software download."},
    {IDC_IMG_UPDATING, 105, 79, IDB_UPDATING, "Updating. Do Not Disconnect!"},
    {IDC_IMG_SUCCESS, 107, 82, IDB_SUCCESS, "Software Download Success"},
    {IDC_IMG_CONNECTED, 95, 70, IDB_CONNECTED, "Your device is connected. Press Next to continue."},
    {IDC_IMG_FAILED, 105, 81, IDB_FAILED,
     "Software Upgrade Failed. Please disconnect the device from your PC, remove the battery, "
     "wait 5 seconds and retry."},
    {IDC_IMG_CABLE_SMALL, 296, 172, IDB_CABLE_SMALL, "The device joined to a computer by its USB cable"},
    {IDC_IMG_CABLE_LARGE, 182, 177, IDB_CABLE_LARGE, "The device joined to a computer by its USB cable"},
};

// Shorthands for the rows below.
constexpr PageControlRule Hide(int nId)
{
    return {nId, false, false, SHOW_OFF, ENABLE_KEEP, false, 0, 0};
}
constexpr PageControlRule Keep(int nId)
{
    return {nId, false, false, SHOW_KEEP, ENABLE_KEEP, false, 0, 0};
}
constexpr PageControlRule Place(int nId, bool bSkin, PageShow nShow, PageEnable nEnable)
{
    return {nId, bSkin, true, nShow, nEnable, false, 0, 0};
}

// The controls no page before the download screen uses.
#define KRT_HIDE_DOWNLOAD_SCREEN                                                                        \
    Hide(IDC_BTN_START), Hide(IDC_PROGRESS), Hide(IDC_IMG_PRESS_START), Hide(IDC_IMG_CABLE_SMALL),      \
        Hide(IDC_IMG_UPDATING), Hide(IDC_IMG_SUCCESS), Hide(IDC_IMG_FAILED), Hide(IDC_IMG_CABLE_LARGE), \
        Hide(IDC_IMG_CONNECTED)

const PageLayout g_pages[PAGE_COUNT] = {
    // 0: introduction
    {IDB_PAGE_INTRO,
     {Place(IDC_BTN_EXIT, true, SHOW_KEEP, ENABLE_KEEP), Hide(IDC_BTN_BACK),
      Place(IDC_BTN_NEXT, true, SHOW_ON, ENABLE_ON), Hide(IDC_RADIO_LICENSE_ACCEPT), Hide(IDC_RADIO_LICENSE_DECLINE),
      Hide(IDC_RADIO_NOTICE_ACCEPT), Hide(IDC_RADIO_NOTICE_DECLINE), Hide(IDC_RICH_LICENSE),
      KRT_HIDE_DOWNLOAD_SCREEN}},
    // 1: licence agreement
    {IDB_PAGE_LICENSE,
     {Place(IDC_BTN_EXIT, true, SHOW_KEEP, ENABLE_KEEP), Place(IDC_BTN_BACK, true, SHOW_ON, ENABLE_KEEP),
      Place(IDC_BTN_NEXT, true, SHOW_KEEP, ENABLE_BY_CHOICE),
      Place(IDC_RADIO_LICENSE_ACCEPT, true, SHOW_ON, ENABLE_KEEP),
      Place(IDC_RADIO_LICENSE_DECLINE, true, SHOW_ON, ENABLE_KEEP), Hide(IDC_RADIO_NOTICE_ACCEPT),
      Hide(IDC_RADIO_NOTICE_DECLINE), Place(IDC_RICH_LICENSE, false, SHOW_ON, ENABLE_KEEP),
      KRT_HIDE_DOWNLOAD_SCREEN}},
    // 2: notice
    {IDB_PAGE_NOTICE,
     {Place(IDC_BTN_EXIT, true, SHOW_KEEP, ENABLE_KEEP), Place(IDC_BTN_BACK, true, SHOW_ON, ENABLE_KEEP),
      Place(IDC_BTN_NEXT, true, SHOW_KEEP, ENABLE_BY_CHOICE), Hide(IDC_RADIO_LICENSE_ACCEPT),
      Hide(IDC_RADIO_LICENSE_DECLINE), Place(IDC_RADIO_NOTICE_ACCEPT, true, SHOW_ON, ENABLE_KEEP),
      Place(IDC_RADIO_NOTICE_DECLINE, true, SHOW_ON, ENABLE_KEEP), Hide(IDC_RICH_LICENSE),
      KRT_HIDE_DOWNLOAD_SCREEN}},
    // 3: download mode instructions
    {IDB_PAGE_DOWNLOAD_MODE,
     {Place(IDC_BTN_EXIT, true, SHOW_KEEP, ENABLE_KEEP), Place(IDC_BTN_BACK, true, SHOW_ON, ENABLE_KEEP),
      Place(IDC_BTN_NEXT, true, SHOW_KEEP, ENABLE_ON), Hide(IDC_RADIO_LICENSE_ACCEPT),
      Hide(IDC_RADIO_LICENSE_DECLINE), Hide(IDC_RADIO_NOTICE_ACCEPT), Hide(IDC_RADIO_NOTICE_DECLINE),
      Hide(IDC_RICH_LICENSE), KRT_HIDE_DOWNLOAD_SCREEN}},
    // 4: connect the device
    {IDB_PAGE_CONNECT,
     {Place(IDC_BTN_EXIT, true, SHOW_ON, ENABLE_KEEP), Place(IDC_BTN_BACK, true, SHOW_ON, ENABLE_KEEP),
      Place(IDC_BTN_NEXT, true, SHOW_ON, ENABLE_OFF), Hide(IDC_RADIO_LICENSE_ACCEPT),
      Hide(IDC_RADIO_LICENSE_DECLINE), Hide(IDC_RADIO_NOTICE_ACCEPT), Hide(IDC_RADIO_NOTICE_DECLINE),
      Hide(IDC_RICH_LICENSE), KRT_HIDE_DOWNLOAD_SCREEN}},
    // 5: download screen; the banners of a run keep their state, the start button its enabled state
    {IDB_PAGE_DOWNLOAD,
     {Hide(IDC_BTN_EXIT), Hide(IDC_BTN_BACK), Hide(IDC_BTN_NEXT), Hide(IDC_RADIO_LICENSE_ACCEPT),
      Hide(IDC_RADIO_LICENSE_DECLINE), Hide(IDC_RADIO_NOTICE_ACCEPT), Hide(IDC_RADIO_NOTICE_DECLINE),
      Place(IDC_BTN_START, true, SHOW_ON, ENABLE_KEEP), Hide(IDC_RICH_LICENSE),
      Place(IDC_PROGRESS, false, SHOW_ON, ENABLE_KEEP),
      {IDC_IMG_PRESS_START, false, false, SHOW_ON, ENABLE_KEEP, false, 0, 0},
      {IDC_IMG_CABLE_SMALL, false, false, SHOW_ON, ENABLE_KEEP, false, 0, 0}, Keep(IDC_IMG_UPDATING),
      Keep(IDC_IMG_SUCCESS), Keep(IDC_IMG_FAILED), Hide(IDC_IMG_CABLE_LARGE), Hide(IDC_IMG_CONNECTED)}},
    // 6: upgrade complete; Exit moves to where Next was
    {IDB_PAGE_COMPLETE,
     {{IDC_BTN_EXIT, false, true, SHOW_ON, ENABLE_KEEP, true, EXIT_RIGHT_X, EXIT_RIGHT_Y}, Hide(IDC_BTN_BACK),
      Hide(IDC_BTN_NEXT), Hide(IDC_RADIO_LICENSE_ACCEPT), Hide(IDC_RADIO_LICENSE_DECLINE),
      Hide(IDC_RADIO_NOTICE_ACCEPT), Hide(IDC_RADIO_NOTICE_DECLINE), Keep(IDC_RICH_LICENSE),
      KRT_HIDE_DOWNLOAD_SCREEN}},
};

#undef KRT_HIDE_DOWNLOAD_SCREEN

}  // namespace

const ControlPlace* FindControlPlace(int nControlId)
{
    for (const ControlPlace& place : g_places) {
        if (place.nControlId == nControlId) {
            return &place;
        }
    }
    return nullptr;
}

const PageLayout* GetPageLayout(int nPage)
{
    if (nPage < 0 || nPage >= PAGE_COUNT) {
        return nullptr;
    }
    return &g_pages[nPage];
}

const PicturePlace* FindPicturePlace(int nControlId)
{
    for (const PicturePlace& picture : g_pictures) {
        if (picture.nControlId == nControlId) {
            return &picture;
        }
    }
    return nullptr;
}

const char* PictureCaption(int nControlId)
{
    const PicturePlace* pPicture = FindPicturePlace(nControlId);
    return pPicture != nullptr ? pPicture->pszCaption : nullptr;
}
