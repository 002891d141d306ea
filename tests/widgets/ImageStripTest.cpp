// The pure rules of the image button: cutting strips into looks, premultiplying alpha, choosing
// the look for a state, and the label text.
#include "widgets/CTraButton.h"
#include "widgets/ImageStrip.h"

#include "Printers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using widgets::CTraButton;
using widgets::ImageStrip;
using widgets::StateImages;

// The colour a test strip carries in look region `look` of load `load`: every region differs,
// so a look cut from the wrong place shows the wrong colour.
QRgb regionColour(int load, int look)
{
    return qRgb(40 + 60 * load, 30 + 50 * look, 200);
}

QImage testStrip(int load, int width, int height, int regionWidth)
{
    QImage strip(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        const QRgb colour = regionColour(load, x / regionWidth);
        for (int y = 0; y < height; ++y)
            strip.setPixel(x, y, colour);
    }
    return strip;
}

struct Load
{
    int width;
    int height;
    int stateWidth;
    int stateHeight;
};

struct CutCase
{
    const char* name;
    std::vector<Load> loads;
    int width;                 // recorded by every look
    int height;
    const char* looks[4];      // "<load><look>" the look was cut from, or "-" for none
};

KAVREN_PRINT_ROW(CutCase)

class StripCutting : public ::testing::TestWithParam<CutCase>
{
};

TEST_P(StripCutting, LooksComeFromTheirPlaceInTheStrip)
{
    const CutCase& c = GetParam();
    StateImages looks;
    for (size_t i = 0; i < c.loads.size(); ++i) {
        const Load& l = c.loads[i];
        ImageStrip::cut(ImageStrip::prepared(testStrip(static_cast<int>(i), l.width, l.height, l.stateWidth > 0 ? l.stateWidth : 1)),
                        l.stateWidth, l.stateHeight, looks);
    }
    for (int look = 0; look < 4; ++look) {
        SCOPED_TRACE("look " + std::to_string(look));
        const auto& state = looks[static_cast<size_t>(look)];
        EXPECT_EQ(state.width, c.width);
        EXPECT_EQ(state.height, c.height);
        const std::string expected = c.looks[look];
        if (expected == "-") {
            EXPECT_TRUE(state.image.isNull());
            continue;
        }
        ASSERT_FALSE(state.image.isNull());
        const int load = expected[0] - '0';
        const int region = expected[1] - '0';
        const Load& l = c.loads[static_cast<size_t>(load)];
        EXPECT_EQ(state.image.width(), l.stateWidth);
        EXPECT_EQ(state.image.height(), l.stateHeight == 0 ? l.height : l.stateHeight);
        // First and last column: an offset by even one pixel shows a neighbour's colour.
        EXPECT_EQ(state.image.pixel(0, 0), regionColour(load, region));
        EXPECT_EQ(state.image.pixel(state.image.width() - 1, state.image.height() - 1), regionColour(load, region));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StripCutting,
    ::testing::Values(
        CutCase{"threeLooksOf11", {{33, 15, 11, 0}}, 11, 15, {"00", "01", "02", "-"}},
        CutCase{"fourLooksOf104", {{416, 28, 104, 0}}, 104, 28, {"00", "01", "02", "03"}},
        CutCase{"fourLooksOf102x90", {{408, 90, 102, 0}}, 102, 90, {"00", "01", "02", "03"}},
        CutCase{"threeAfterFourKeepsOldDisabledLook", {{416, 28, 104, 0}, {33, 15, 11, 0}}, 11, 15,
                {"10", "11", "12", "03"}},
        CutCase{"partLookAtTheEndIsNotALook", {{40, 15, 11, 0}}, 11, 15, {"00", "01", "02", "-"}},
        CutCase{"narrowerThanOneLookReplacesNothingButRecordsSize", {{33, 15, 11, 0}, {10, 20, 11, 0}}, 11, 20,
                {"00", "01", "02", "-"}},
        CutCase{"givenStateHeightTakesTheTopRows", {{33, 15, 11, 10}}, 11, 10, {"00", "01", "02", "-"}},
        CutCase{"zeroStateWidthChangesNothing", {{33, 15, 11, 0}, {40, 20, 0, 0}}, 11, 15, {"00", "01", "02", "-"}},
        CutCase{"negativeStateWidthChangesNothing", {{33, 15, 11, 0}, {40, 20, -11, 0}}, 11, 15,
                {"00", "01", "02", "-"}}),
    [](const ::testing::TestParamInfo<CutCase>& row) { return std::string(row.param.name); });

struct PremultiplyCase
{
    const char* name;
    bool alpha;
    int r, g, b, a;
    int er, eg, eb, ea;   // the stored (premultiplied) channels
};

KAVREN_PRINT_ROW(PremultiplyCase)

class Premultiplication : public ::testing::TestWithParam<PremultiplyCase>
{
};

TEST_P(Premultiplication, StoresValueTimesAlphaOver255RemainderDropped)
{
    const PremultiplyCase& c = GetParam();
    QImage pixel(1, 1, c.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    pixel.setPixel(0, 0, qRgba(c.r, c.g, c.b, c.a));
    const QImage prepared = ImageStrip::prepared(pixel);
    EXPECT_EQ(prepared.format(), c.alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    // The raw stored value, not pixel(), which would undo the premultiplication.
    const QRgb stored = reinterpret_cast<const QRgb*>(prepared.constScanLine(0))[0];
    EXPECT_EQ(qRed(stored), c.er);
    EXPECT_EQ(qGreen(stored), c.eg);
    EXPECT_EQ(qBlue(stored), c.eb);
    EXPECT_EQ(qAlpha(stored), c.ea);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Premultiplication,
    ::testing::Values(PremultiplyCase{"halfTransparent", true, 200, 100, 50, 128, 100, 50, 25, 128},
                      PremultiplyCase{"remainderDroppedNotRounded", true, 1, 1, 1, 128, 0, 0, 0, 128},
                      PremultiplyCase{"nearlyOpaqueTruncates", true, 255, 128, 3, 254, 254, 127, 2, 254},
                      PremultiplyCase{"opaqueUnchanged", true, 255, 128, 7, 255, 255, 128, 7, 255},
                      PremultiplyCase{"transparentBecomesZero", true, 255, 255, 255, 0, 0, 0, 0, 0},
                      PremultiplyCase{"stripWithoutAlphaUnchanged", false, 200, 100, 50, 255, 200, 100, 50, 255}),
    [](const ::testing::TestParamInfo<PremultiplyCase>& row) { return std::string(row.param.name); });

struct LookCase
{
    const char* name;
    bool disabled;
    bool down;
    bool hovering;
    bool pressed;
    CTraButton::Look look;
};

KAVREN_PRINT_ROW(LookCase)

class LookChoice : public ::testing::TestWithParam<LookCase>
{
};

TEST_P(LookChoice, FirstRuleThatAppliesWins)
{
    const LookCase& c = GetParam();
    EXPECT_EQ(CTraButton::chooseLook(c.disabled, c.down, c.hovering, c.pressed), c.look);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LookChoice,
    ::testing::Values(LookCase{"idle", false, false, false, false, CTraButton::Normal},
                      LookCase{"hovering", false, false, true, false, CTraButton::Hover},
                      LookCase{"hoveringAndPressed", false, false, true, true, CTraButton::Pressed},
                      LookCase{"pressedFlagWithoutHoverIsNormal", false, false, false, true, CTraButton::Normal},
                      LookCase{"downWithoutHover", false, true, false, false, CTraButton::Pressed},
                      LookCase{"downWhileHovering", false, true, true, false, CTraButton::Pressed},
                      LookCase{"disabledBeatsDown", true, true, true, true, CTraButton::Disabled},
                      LookCase{"disabledBeatsHover", true, false, true, false, CTraButton::Disabled}),
    [](const ::testing::TestParamInfo<LookCase>& row) { return std::string(row.param.name); });

struct LabelCase
{
    const char* name;
    const char* windowText;
    const char* label;
};

KAVREN_PRINT_ROW(LabelCase)

class LabelText : public ::testing::TestWithParam<LabelCase>
{
};

TEST_P(LabelText, EverySpaceCharacterRemovedAndNothingElse)
{
    const LabelCase& c = GetParam();
    EXPECT_EQ(CTraButton::labelText(QString::fromUtf8(c.windowText)), QString::fromUtf8(c.label));
}

INSTANTIATE_TEST_SUITE_P(
    Table, LabelText,
    ::testing::Values(LabelCase{"spaceBetweenTwoCharacters", "确 定", "确定"},
                      LabelCase{"onlySpacesLeaveNothing", "   ", ""},
                      LabelCase{"empty", "", ""},
                      LabelCase{"spacesAroundAndBetween", " 登 录  ", "登录"},
                      LabelCase{"tabStays", "a\tb", "a\tb"},
                      LabelCase{"ideographicSpaceStays", "全\u3000角", "全\u3000角"}),
    [](const ::testing::TestParamInfo<LabelCase>& row) { return std::string(row.param.name); });

} // namespace
