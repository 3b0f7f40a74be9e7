// Dialog scale entries from the language file and the arithmetic of rescaling a dialog.
#include "localization/dlgscale.h"

#include <climits>
#include <cstring>

#include "localization/langres.h"

namespace {
// A scale entry is translated into a buffer of the size message texts have.
const int ScaleEntrySize = 512;
const int Unscaled = 100;

int ClampToInt(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return (int)value;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Sizes are one more than a rectangle's width or height, as the dialogs were laid out.
long long Extent(int from, int to) { return (long long)to - from + 1; }
}  // namespace

long ParseDecimal(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        // Stop growing past the range; the digits are still read to the end.
        if (value <= (long long)INT_MAX + 1) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    return ClampToInt(value);
}

bool ParseDialogScale(const char* text, int& widthPercent, int& heightPercent) {
    widthPercent = Unscaled;
    heightPercent = Unscaled;
    const char* star = strchr(text, '*');
    if (!star) return false;
    widthPercent = (int)ParseDecimal(text);
    heightPercent = (int)ParseDecimal(star + 1);
    return !(widthPercent == Unscaled && heightPercent == Unscaled);
}

// The value is kept within int first, so the product cannot overflow.
int ScalePercent(long long value, int percent) {
    return ClampToInt((long long)ClampToInt(value) * percent / 100);
}

// The entry of a dialog's scale is the translation of the empty text in its context.
bool LanguageResources::GetDialogScale(const char* dialogName, int& widthPercent,
                                       int& heightPercent) const {
    char scale[ScaleEntrySize];
    Translate("", scale, dialogName, TextKind::Dialog);
    return ParseDialogScale(scale, widthPercent, heightPercent);
}

DialogFrame MeasureDialog(const ScreenRect& window, int clientWidth, int clientHeight,
                          int dialogFrameHeight, bool mirrored) {
    DialogFrame frame;
    frame.mirrored = mirrored;
    frame.window = window;
    frame.frameWidth = ClampToInt(Extent(window.left, window.right) - clientWidth);
    frame.frameHeight = ClampToInt(Extent(window.top, window.bottom) - clientHeight);
    frame.captionOffset = ClampToInt((long long)frame.frameHeight - dialogFrameHeight);
    return frame;
}

Placement ScaleDialog(const DialogFrame& frame, int clientWidth, int clientHeight,
                      int widthPercent, int heightPercent) {
    Placement p;
    p.x = frame.window.left;
    p.y = frame.window.top;
    p.width = ClampToInt((long long)ScalePercent(clientWidth, widthPercent) + frame.frameWidth);
    p.height = ClampToInt((long long)ScalePercent(clientHeight, heightPercent) + frame.frameHeight);
    return p;
}

// The frame is assumed to be as wide on the left as on the right, so half of its width
// separates the window's edge from the client area. A mirrored dialog places its controls
// by their distance from the right edge, so that is what gets scaled there.
Placement ScaleControl(const DialogFrame& frame, const ScreenRect& control,
                       const ScreenRect* droppedRect, int widthPercent, int heightPercent) {
    Placement p;
    long long fromEdge = frame.mirrored ? (long long)frame.window.right - control.right
                                        : (long long)control.left - frame.window.left;
    p.x = ScalePercent(fromEdge - frame.frameWidth / 2, widthPercent);
    p.y = ScalePercent((long long)control.top - frame.window.top - frame.captionOffset, heightPercent);
    p.width = ScalePercent(Extent(control.left, control.right), widthPercent);
    long long height = ScalePercent(Extent(control.top, control.bottom), heightPercent);
    if (droppedRect) height += ScalePercent(Extent(droppedRect->top, droppedRect->bottom), heightPercent);
    p.height = ClampToInt(height);
    return p;
}
