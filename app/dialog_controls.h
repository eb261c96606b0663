#pragma once
// The main dialog's controls in one table: what each is, where the pages put it, the faces it is
// skinned with, its caption and its place in the keyboard order. The dialog binds, lays out, scales,
// names and orders its controls by this table only; adding a control is one row (and its template line).
#include <cstdint>
#include <span>

#include "app/text_styles.h"

class CWnd;
class CVelmoraEUT_KRT_P940Dlg;

enum ControlKind : uint8_t {
    KIND_SKIN_BUTTON,  // a push button or a choice drawn from faces
    KIND_PICTURE,      // a banner or a drawing: one bitmap and the words it shows
    KIND_PROGRESS,
    KIND_RICH_EDIT,
    KIND_TEXT,         // words of a page, drawn by the system over the page's picture
    KIND_PUSH_BUTTON,  // the system's own button
};

// A text that continues another keeps its distance from it when the other needs more room than the
// design gave it (a longer translation, a taller script): it moves down (FLOW_BELOW) or right
// (FLOW_AFTER, words on the same line) by as much, and the other's box grows to what its words need.
// The last text of such a chain keeps its box's far edge: its room ends where the page's design does.
enum TextFlow : uint8_t {
    FLOW_NONE,
    FLOW_BELOW,
    FLOW_AFTER,
};

struct DialogControl {
    int nId;
    ControlKind nKind;
    // The dialog's member that stands for the control.
    CWnd& (*pfnMember)(CVelmoraEUT_KRT_P940Dlg& dlg);
    // Logical pixels of the 1024 x 600 page: where the pages put it; a picture stands where it is put
    // at its bitmap's size (width and height 0).
    int nX;
    int nY;
    int nWidth;
    int nHeight;
    // Faces of a skinned control (0 = none; a disabled face of 0 repeats the normal one); a picture's
    // bitmap in nNormal.
    uint16_t nNormal;
    uint16_t nPressed;
    uint16_t nDisabled;
    // The English words (the translations' msgid): a button's caption with its access key, a banner's
    // title, a page's text; a drawing's name for screen readers. Null: set by the dialog as it goes.
    const char* pszCaption;
    // Keyboard order: Tab walks the controls by rising nTabOrder. bTabStop makes the control a stop of its
    // own (a choice pair is one stop, at its checked item, which the skin button marks itself); bGroup
    // starts a group, so that the arrow keys move only inside a choice pair.
    int nTabOrder;
    bool bTabStop;
    bool bGroup;
    // The translations' context of pszCaption (null: none), and the look of the words.
    const char* pszContext = nullptr;
    TextStyleId nStyle = TEXT_STYLE_NONE;
    // A text's place relative to another text row's (see TextFlow).
    TextFlow nFlow = FLOW_NONE;
    int nFlowFrom = 0;
    // A banner's second line, in its own look under the title (its English words).
    const char* pszDetail = nullptr;
};

// Every control of the dialog, in the order they are bound to the template.
std::span<const DialogControl> DialogControls();
// The row of control nId; null for an id that is not the dialog's.
const DialogControl* FindDialogControl(int nId);
