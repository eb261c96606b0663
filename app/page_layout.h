#pragma once
// What each wizard page does to the dialog's controls (their places, faces and captions stand in the
// dialog's table of controls, dialog_controls.h).
#include <cstdint>
#include <span>

#include "app/text_styles.h"

constexpr int PAGE_INTRO = 0;
constexpr int PAGE_LICENSE = 1;
constexpr int PAGE_NOTICE = 2;
constexpr int PAGE_DOWNLOAD_MODE = 3;
constexpr int PAGE_CONNECT = 4;
constexpr int PAGE_DOWNLOAD = 5;
constexpr int PAGE_COMPLETE = 6;
constexpr int PAGE_COUNT = 7;

// The page as designed, and the status bar below it, in logical pixels (see display_scale.h).
constexpr int PAGE_WIDTH = 1024;
constexpr int PAGE_HEIGHT = 600;
constexpr int STATUS_BAR_HEIGHT = 25;

enum PageShow : uint8_t {
    SHOW_KEEP = 0,  // visibility stays as it was
    SHOW_ON,
    SHOW_OFF,
};

enum PageEnable : uint8_t {
    ENABLE_KEEP = 0,
    ENABLE_ON,
    ENABLE_OFF,
    ENABLE_BY_CHOICE,  // Next on the licence and notice pages: enabled while the choice is "accept"
};

// One control on one page. bMove uses the control's place, or nX/nY when bOwnPlace is set. A control
// that a page does not name is hidden on it.
struct PageControlRule {
    int nControlId;
    bool bSkin;
    bool bMove;
    PageShow nShow;
    PageEnable nEnable;
    bool bOwnPlace;
    int nX;
    int nY;
};

struct PageLayout {
    uint16_t nBackground;
    // The step's name in the header (English; its translations' context is STEP_CONTEXT).
    const char* pszStep;
    // In the order the page switch applies them: Exit, Back, Next, the radio buttons, the others.
    std::span<const PageControlRule> rules;
};

// The rule of a page for a control; null when the page hides it.
const PageControlRule* FindPageRule(const PageLayout& layout, int nControlId);

// A part of a page's picture in logical pixels of the 1024 x 600 page.
struct PageArea {
    int x, y, cx, cy;
};

// The drawings of the device on a page's picture: a right-to-left layout mirrors the page but not these
// (the device's buttons, screen and sockets stay on their real sides).
std::span<const PageArea> UnmirroredAreas(int nPage);

// The layout of a page, or null outside 0 to 6.
const PageLayout* GetPageLayout(int nPage);

// Where Exit goes on the final page and after a failed download.
constexpr int EXIT_RIGHT_X = 862;
constexpr int EXIT_RIGHT_Y = 530;

// The header's words beside the step's name: "Step 1 of 7", and what stands between the two.
constexpr const char* STEP_CONTEXT = "step";
constexpr const char* STEP_COUNT_FORMAT = "Step %d of %d";
constexpr const wchar_t* STEP_SEPARATOR = L" \u00B7 ";

// The start button's faces after a failed download: "Restart Upgrade Utility".
constexpr uint16_t RESTART_FACE_NORMAL = 147;
constexpr uint16_t RESTART_FACE_PRESSED = 148;
constexpr const char* RESTART_CAPTION = "Re&start Upgrade Utility";
constexpr TextStyleId RESTART_CAPTION_STYLE = TEXT_STYLE_CAPTION_RESTART;
