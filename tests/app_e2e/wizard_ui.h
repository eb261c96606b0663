#pragma once
// What the wizard shows, as a user and the tests see it: control ids, bitmap ids, places and texts.
// Kept here on their own (not taken from app/) so that a wrong id in the program shows up as a failure.

namespace WizardUi {

constexpr const wchar_t* DIALOG_CLASS = L"#32770";
constexpr const wchar_t* TITLE = L" SW Upgrade - [ KRT-P940 ] - 1.0.019";
constexpr const wchar_t* ABOUT_TITLE = L"About Velmora SW Upgrade for KRT-P940";
constexpr const wchar_t* ABOUT_TEXT = L"Velmora End User Upgrade Tool 1.0.015";

// Controls of the main dialog.
constexpr int ID_LICENSE_ACCEPT = 1000;
constexpr int ID_LICENSE_DECLINE = 1001;
constexpr int ID_EXIT = 1002;
constexpr int ID_NEXT = 1003;
constexpr int ID_BACK = 1004;
constexpr int ID_IMG_PRESS_START = 1006;
constexpr int ID_START = 1008;
constexpr int ID_IMG_UPDATING = 1009;
constexpr int ID_IMG_SUCCESS = 1010;
constexpr int ID_NOTICE_ACCEPT = 1011;
constexpr int ID_LICENSE_TEXT = 1012;
constexpr int ID_IMG_CONNECTED = 1013;
constexpr int ID_NOTICE_DECLINE = 1014;
constexpr int ID_IMG_FAILED = 1016;
constexpr int ID_IMG_CABLE_SMALL = 2030;
constexpr int ID_PROGRESS = 2031;
constexpr int ID_IMG_CABLE_LARGE = 2032;
constexpr int ID_RUN_PROGRESS = 2033;
constexpr int ID_GUIDANCE = 2034;
constexpr int ID_SAVE_REPORT = 2035;
constexpr int ID_COPY_DETAILS = 2036;

// Page backgrounds, 0 to 6.
constexpr int PAGE_COUNT = 7;
constexpr int PAGE_BITMAPS[PAGE_COUNT] = {136, 2001, 2002, 2003, 2004, 2010, 2006};
constexpr int PAGE_WIDTH = 1024;
constexpr int PAGE_HEIGHT = 600;
constexpr int STATUS_BAR_HEIGHT = 25;

// Button faces.
constexpr int BMP_START_NORMAL = 2022;
constexpr int BMP_START_DISABLED = 2024;
constexpr int BMP_RESTART_NORMAL = 147;
constexpr int BMP_NEXT_NORMAL = 2013;
constexpr int BMP_NEXT_DISABLED = 2015;
constexpr int BMP_EXIT_NORMAL = 2016;
constexpr int BMP_NOTICE_ACCEPT_CHECKED = 139;
constexpr int BMP_FAILED = 146;
constexpr int BMP_UPDATING = 2025;

// Places in client pixels.
struct Place {
    int x, y, cx, cy;
};
constexpr Place EXIT_LEFT = {20, 530, 132, 46};
constexpr Place EXIT_RIGHT = {862, 530, 132, 46};
constexpr Place BACK = {710, 530, 132, 46};
constexpr Place NEXT = {862, 530, 132, 46};
constexpr Place LICENSE_ACCEPT = {115, 435, 406, 33};
constexpr Place LICENSE_DECLINE = {115, 470, 406, 33};
constexpr Place NOTICE_ACCEPT = {260, 400, 324, 54};
constexpr Place NOTICE_DECLINE = {530, 400, 324, 54};
constexpr Place START = {357, 410, 310, 42};
constexpr Place LICENSE_TEXT = {115, 140, 780, 280};
constexpr Place PROGRESS = {137, 370, 750, 20};
// The banners and drawings, at the size of their bitmaps.
constexpr Place IMG_PRESS_START = {105, 77, 812, 68};
constexpr Place IMG_UPDATING = {105, 79, 812, 68};
constexpr Place IMG_SUCCESS = {107, 82, 812, 68};
constexpr Place IMG_CONNECTED = {95, 70, 812, 68};
constexpr Place IMG_FAILED = {105, 81, 812, 68};
constexpr Place IMG_CABLE_SMALL = {296, 172, 332, 150};
constexpr Place IMG_CABLE_LARGE = {182, 177, 614, 263};
// The client area at 100 % under Wine: the window's 1024 x 625 and a caption, less Wine's frame; the
// status bar's height in it.
constexpr int CLIENT_WIDTH = 1018;
constexpr int CLIENT_HEIGHT = 619;
constexpr int STATUS_BAR_OUTER_HEIGHT = 27;

// Where a face's or a banner's words stand over its picture (pixels of the picture at 100 %): the pictures
// carry no words, the wizard draws them there. Elsewhere the screen shows the picture as it is.
struct WordsBox {
    int nBitmap;
    int left, top, right, bottom;
};
constexpr WordsBox WORDS_BOXES[] = {
    {2011, 58, 8, 126, 38}, {2012, 58, 8, 126, 38},                          // Back, right of its arrow
    {2013, 6, 8, 74, 38},   {2014, 6, 8, 74, 38},   {2015, 6, 8, 74, 38},    // Next, left of its arrow
    {2016, 6, 8, 126, 38},  {2017, 6, 8, 126, 38},                           // Exit
    {2018, 30, 2, 406, 31}, {2019, 30, 2, 406, 31}, {2020, 30, 2, 406, 31}, {2021, 30, 2, 406, 31},
    {138, 46, 6, 207, 37},  {139, 46, 6, 207, 37},  {140, 46, 6, 207, 37},   {141, 46, 6, 207, 37},
    {2022, 62, 6, 302, 36}, {2023, 62, 6, 302, 36}, {2024, 62, 6, 302, 36},  // Start, right of its icon
    {147, 71, 6, 302, 36},  {148, 71, 6, 302, 36},                           // Restart
    {2025, 76, 2, 800, 66}, {2026, 76, 2, 800, 66}, {2027, 76, 2, 800, 66},  // banners, right of the icon
    {143, 76, 2, 800, 66},  {146, 76, 2, 800, 66},
};

// Texts.
constexpr const char* STATUS_READY_INIT = " Ready";
constexpr const char* STATUS_READY = "Ready";
constexpr const char* STATUS_DETECT = "Detect Port...";
constexpr const char* STATUS_DISCONNECTED = "Disconnected";
constexpr const char* STATUS_COMPLETE = "Software Download Complete.";
constexpr const char* PROGRESS_FAILED = "Upgrade failed...";
constexpr const char* INSTALL_FAILED = "Error Occured! USB Install Fail!";
constexpr const char* CANCEL_DOWNLOAD = "Error Occured! Cancel Download!!";

// The window messages an outside progress sender may use.
constexpr unsigned MSG_EXT_RANGE = 0x400 + 3000;
constexpr unsigned MSG_EXT_SUCCESS = 0x400 + 3001;
constexpr unsigned MSG_EXT_PROGRESS = 0x400 + 3002;
constexpr unsigned MSG_EXT_ERROR = 0x400 + 3003;
constexpr unsigned MSG_EXT_STATUS = 0x400 + 3004;
constexpr unsigned EXT_TEXT_SINGLE_BYTE = 1234;

// The port timer's period and the pause of every page change, in ms before scaling.
constexpr int PORT_TIMER_MS = 2000;
constexpr int PAGE_PAUSE_MS = 500;

}  // namespace WizardUi
