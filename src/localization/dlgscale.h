// Dialog scale entries and the geometry of a rescaled dialog (no Win32 here).
#pragma once

// A rectangle as the system reports it: right and bottom are one past the last pixel.
struct ScreenRect {
    int left, top, right, bottom;
};

// What the rescaling measures of a dialog once, before it changes anything.
struct DialogFrame {
    ScreenRect window;  // screen coordinates
    int frameWidth;     // window width + 1 - client width
    int frameHeight;    // window height + 1 - client height
    int captionOffset;  // frameHeight - the dialog frame's height
    bool mirrored;      // right-to-left layout: client x counts from the right edge
};

struct Placement {
    int x, y, width, height;
};

// Reads "width*height" percentages; false (both 100) without an asterisk.
bool ParseDialogScale(const char* text, int& widthPercent, int& heightPercent);
// A decimal number read as strtol does for a 32-bit long: white space, a sign, digits;
// no digits give 0, values out of range stop at the range's end.
long ParseDecimal(const char* text);
// value * percent / 100, truncated toward zero and kept within int.
int ScalePercent(long long value, int percent);

DialogFrame MeasureDialog(const ScreenRect& window, int clientWidth, int clientHeight,
                          int dialogFrameHeight, bool mirrored);
// The new outer size of the dialog itself.
Placement ScaleDialog(const DialogFrame& frame, int clientWidth, int clientHeight,
                      int widthPercent, int heightPercent);
// A control's new place in the dialog's client area. droppedRect is the dropped-down
// rectangle of a drop-down combo box (null for other controls): its window height leaves
// the list out, so the list's height is added.
Placement ScaleControl(const DialogFrame& frame, const ScreenRect& control,
                       const ScreenRect* droppedRect, int widthPercent, int heightPercent);
