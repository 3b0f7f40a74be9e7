// Scale entries and the arithmetic of rescaling a dialog and its controls.
#include "localization/dlgscale.h"

#include <gtest/gtest.h>

#include <climits>

#include "localization/langfile_maker.h"

namespace {
using namespace langtest;

TEST(DialogScale, ParsesWidthAndHeight) {
    struct Case { const char* Text; int Width; int Height; bool Scaled; };
    const Case cases[] = {
        {"120*110", 120, 110, true},
        {"100*100", 100, 100, false},
        {"100*100\f", 100, 100, false},
        {"150", 100, 100, false},
        {"", 100, 100, false},
        {"abc*120", 0, 120, true},
        {" +90* -5x", 90, -5, true},
        {"80**90", 80, 0, true},
        {"*", 0, 0, true},
        {"99999999999*-99999999999", INT_MAX, INT_MIN, true},
        {"\t\n75 * 125", 75, 125, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.Text)));
        int width = -1, height = -1;
        EXPECT_EQ(ParseDialogScale(c.Text, width, height), c.Scaled);
        EXPECT_EQ(width, c.Width);
        EXPECT_EQ(height, c.Height);
    }
}

TEST(DialogScale, ReadFromTheLanguageFile) {
    LanguageResources language;
    Load(language, File(Entry("9b889d24", "120*110") + Entry(DialogKey("DONEDLG", ""), "100*100")));
    struct Case { const char* Dialog; int Width; int Height; bool Scaled; };
    const Case cases[] = {
        {"SETUPDLG", 120, 110, true},
        {"DONEDLG", 100, 100, false},
        {"CONTEXTITEMS", 100, 100, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Dialog);
        int width = 0, height = 0;
        EXPECT_EQ(language.GetDialogScale(c.Dialog, width, height), c.Scaled);
        EXPECT_EQ(width, c.Width);
        EXPECT_EQ(height, c.Height);
    }
}

// A dialog at (100, 50) whose client area is 400 by 300 with frame width 8 and frame
// height 28 (sizes counted one more than the rectangle): window 407 by 327 pixels.
DialogFrame ExampleFrame(bool mirrored = false) {
    ScreenRect window{100, 50, 100 + 407, 50 + 327};
    return MeasureDialog(window, 400, 300, 3, mirrored);
}

TEST(DialogScale, DialogSize) {
    DialogFrame frame = ExampleFrame();
    EXPECT_EQ(frame.frameWidth, 8);
    EXPECT_EQ(frame.frameHeight, 28);
    EXPECT_EQ(frame.captionOffset, 25);
    Placement size = ScaleDialog(frame, 400, 300, 120, 110);
    EXPECT_EQ(size.width, 488);
    EXPECT_EQ(size.height, 358);
    size = ScaleDialog(frame, 400, 300, 0, 120);
    EXPECT_EQ(size.width, 8);  // only the frame is left
}

TEST(DialogScale, ControlPlacement) {
    DialogFrame frame = ExampleFrame();
    // A control 20 pixels right of the client area's left edge, 10 below its top.
    ScreenRect control{100 + 4 + 20, 50 + 25 + 10, 100 + 4 + 20 + 50, 50 + 25 + 10 + 14};
    ScreenRect dropped{0, 0, 50, 99};
    struct Case { const char* Name; int X; int Y; const ScreenRect* Dropped; Placement Expected; };
    const Case cases[] = {
        {"unchanged", 100, 100, nullptr, {20, 10, 51, 15}},
        {"120*110", 120, 110, nullptr, {24, 11, 61, 16}},
        {"abc*120 leaves no width", 0, 120, nullptr, {0, 12, 0, 18}},
        {"drop-down list grows too", 120, 110, &dropped, {24, 11, 61, 16 + 110}},
        {"shrinks toward zero", 50, 50, nullptr, {10, 5, 25, 7}},
        {"huge percentages stay in range", INT_MAX, INT_MAX, nullptr, {429496729, 214748364, 1095216659, 322122547}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Placement p = ScaleControl(frame, control, c.Dropped, c.X, c.Y);
        EXPECT_EQ(p.x, c.Expected.x);
        EXPECT_EQ(p.y, c.Expected.y);
        EXPECT_EQ(p.width, c.Expected.width);
        EXPECT_EQ(p.height, c.Expected.height);
    }
}

// A mirrored dialog counts a control's x from its right edge: the control 20 pixels from
// the client area's right edge lands 24 pixels from it at 120 %.
TEST(DialogScale, MirroredControlsScaleFromTheRight) {
    DialogFrame frame = ExampleFrame(true);
    int clientRight = 100 + 407 - 4;
    ScreenRect control{clientRight - 20 - 50, 85, clientRight - 20, 99};
    Placement p = ScaleControl(frame, control, nullptr, 120, 100);
    EXPECT_EQ(p.x, 24);
    EXPECT_EQ(p.width, 61);
}

TEST(DialogScale, SizesStayWithinInt) {
    DialogFrame frame = ExampleFrame();
    ScreenRect wide{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    Placement p = ScaleControl(frame, wide, &wide, INT_MAX, INT_MIN);
    EXPECT_EQ(p.width, INT_MAX);
    EXPECT_EQ(p.height, INT_MIN);
    EXPECT_EQ(ScaleDialog(frame, INT_MAX, 300, INT_MAX, 100).width, INT_MAX);
}

TEST(DialogScale, NegativeOffsetsTruncateTowardZero) {
    DialogFrame frame = ExampleFrame();
    ScreenRect control{100, 50, 110, 60};  // above and left of the client area
    Placement p = ScaleControl(frame, control, nullptr, 150, 150);
    EXPECT_EQ(p.x, -6);   // -4 * 1.5
    EXPECT_EQ(p.y, -37);  // -25 * 1.5 = -37.5
}
}  // namespace
