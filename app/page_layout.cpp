#include "app/page_layout.h"

#include "app/resource_ids.h"

namespace {

// Shorthands for the rows below.
constexpr PageControlRule Keep(int nId)
{
    return {nId, false, false, SHOW_KEEP, ENABLE_KEEP, false, 0, 0};
}
constexpr PageControlRule Show(int nId)
{
    return {nId, false, false, SHOW_ON, ENABLE_KEEP, false, 0, 0};
}
constexpr PageControlRule Place(int nId, bool bSkin, PageShow nShow, PageEnable nEnable)
{
    return {nId, bSkin, true, nShow, nEnable, false, 0, 0};
}

// Every page's header.
#define HEADER_TEXTS Show(IDC_TEXT_HEADER_PRODUCT), Show(IDC_TEXT_HEADER_TOOL), Show(IDC_TEXT_HEADER_STEP)

// 0: introduction
const PageControlRule g_intro[] = {
    Place(IDC_BTN_EXIT, true, SHOW_KEEP, ENABLE_KEEP),
    Place(IDC_BTN_NEXT, true, SHOW_ON, ENABLE_ON),
    HEADER_TEXTS,
    Show(IDC_TEXT_INTRO_WELCOME),
    Show(IDC_TEXT_INTRO_TITLE),
    Show(IDC_TEXT_INTRO_LEAD),
    Show(IDC_TEXT_INTRO_ONLY_THIS),
    Show(IDC_TEXT_INTRO_OTHERS),
    Show(IDC_TEXT_INTRO_NEXT),
};
// 1: licence agreement
const PageControlRule g_license[] = {
    Place(IDC_BTN_EXIT, true, SHOW_KEEP, ENABLE_KEEP),
    Place(IDC_BTN_BACK, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_BTN_NEXT, true, SHOW_KEEP, ENABLE_BY_CHOICE),
    Place(IDC_RADIO_LICENSE_ACCEPT, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_RADIO_LICENSE_DECLINE, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_RICH_LICENSE, false, SHOW_ON, ENABLE_KEEP),
    HEADER_TEXTS,
    Show(IDC_TEXT_LICENSE_HEADING),
    Show(IDC_TEXT_LICENSE_LEAD),
};
// 2: notice
const PageControlRule g_notice[] = {
    Place(IDC_BTN_EXIT, true, SHOW_KEEP, ENABLE_KEEP),
    Place(IDC_BTN_BACK, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_BTN_NEXT, true, SHOW_KEEP, ENABLE_BY_CHOICE),
    Place(IDC_RADIO_NOTICE_ACCEPT, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_RADIO_NOTICE_DECLINE, true, SHOW_ON, ENABLE_KEEP),
    HEADER_TEXTS,
    Show(IDC_TEXT_NOTICE_HEADING),
    Show(IDC_TEXT_NOTICE_LEAD),
    Show(IDC_TEXT_NOTICE_SETTINGS),
    Show(IDC_TEXT_NOTICE_SETTINGS_NOTE),
    Show(IDC_TEXT_NOTICE_BATTERY),
    Show(IDC_TEXT_NOTICE_BATTERY_NOTE),
};
// 3: download mode instructions
const PageControlRule g_downloadMode[] = {
    Place(IDC_BTN_EXIT, true, SHOW_KEEP, ENABLE_KEEP),
    Place(IDC_BTN_BACK, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_BTN_NEXT, true, SHOW_KEEP, ENABLE_ON),
    HEADER_TEXTS,
    Show(IDC_TEXT_MODE_HEADING),
    Show(IDC_TEXT_MODE_LEAD),
    Show(IDC_TEXT_MODE_STEP1),
    Show(IDC_TEXT_MODE_STEP2),
    Show(IDC_TEXT_MODE_STEP3),
    Show(IDC_TEXT_MODE_STEP4),
    Show(IDC_TEXT_MODE_STEP5),
};
// 4: connect the device
const PageControlRule g_connect[] = {
    Place(IDC_BTN_EXIT, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_BTN_BACK, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_BTN_NEXT, true, SHOW_ON, ENABLE_OFF),
    HEADER_TEXTS,
    Show(IDC_TEXT_CONNECT_HEADING),
    Show(IDC_TEXT_CONNECT_LEAD),
    Show(IDC_TEXT_CONNECT_NOTE),
};
// 5: download screen; the banners of a run keep their state, the start button its enabled state
const PageControlRule g_download[] = {
    Place(IDC_BTN_START, true, SHOW_ON, ENABLE_KEEP),
    Place(IDC_PROGRESS, false, SHOW_ON, ENABLE_KEEP),
    Place(IDC_TEXT_RUN_PROGRESS, false, SHOW_ON, ENABLE_KEEP),
    Show(IDC_IMG_PRESS_START),
    Show(IDC_IMG_CABLE_SMALL),
    Keep(IDC_IMG_UPDATING),
    Keep(IDC_IMG_SUCCESS),
    Keep(IDC_IMG_FAILED),
    HEADER_TEXTS,
};
// 6: upgrade complete; Exit moves to where Next was
const PageControlRule g_complete[] = {
    {IDC_BTN_EXIT, false, true, SHOW_ON, ENABLE_KEEP, true, EXIT_RIGHT_X, EXIT_RIGHT_Y},
    Keep(IDC_RICH_LICENSE),
    HEADER_TEXTS,
    Show(IDC_TEXT_DONE_HEADING),
    Show(IDC_TEXT_DONE_LEAD),
    Show(IDC_TEXT_DONE_STEP1),
    Show(IDC_TEXT_DONE_STEP2),
    Show(IDC_TEXT_DONE_STEP3),
    Show(IDC_TEXT_DONE_STEP4),
    Show(IDC_TEXT_DONE_STEP5),
    Show(IDC_TEXT_DONE_STEP6),
    Show(IDC_TEXT_DONE_STEP7),
};

#undef HEADER_TEXTS

const PageLayout g_pages[PAGE_COUNT] = {
    {IDB_PAGE_INTRO, "Software Download", g_intro},
    {IDB_PAGE_LICENSE, "License Agreement", g_license},
    {IDB_PAGE_NOTICE, "Notice", g_notice},
    {IDB_PAGE_DOWNLOAD_MODE, "Download Mode", g_downloadMode},
    {IDB_PAGE_CONNECT, "Connect Device", g_connect},
    {IDB_PAGE_DOWNLOAD, "Download", g_download},
    {IDB_PAGE_COMPLETE, "Complete", g_complete},
};

}  // namespace

const PageControlRule* FindPageRule(const PageLayout& layout, int nControlId)
{
    for (const PageControlRule& rule : layout.rules) {
        if (rule.nControlId == nControlId) {
            return &rule;
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

std::span<const PageArea> UnmirroredAreas(int nPage)
{
    // The device on its disc; the four step pictures; the device joined to the computer; the two views
    // of the device on the final page.
    static const PageArea s_intro[] = {{630, 188, 320, 208}};
    static const PageArea s_downloadMode[] = {{42, 142, 222, 164}, {281, 142, 222, 164}, {520, 142, 222, 164},
                                              {759, 142, 222, 164}};
    static const PageArea s_connect[] = {{182, 177, 614, 263}};
    static const PageArea s_complete[] = {{690, 150, 284, 330}};
    switch (nPage) {
    case PAGE_INTRO: return s_intro;
    case PAGE_DOWNLOAD_MODE: return s_downloadMode;
    case PAGE_CONNECT: return s_connect;
    case PAGE_COMPLETE: return s_complete;
    default: return {};
    }
}
