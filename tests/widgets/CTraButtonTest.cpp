// The image button as a widget: hover and pressed flags from mouse events, what it draws for
// each look, where its label goes, its strips from the compiled-in artwork, the hand cursor.
#include "widgets/CTraButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include "Printers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using widgets::CTraButton;

// A strip of four solid looks, 20 x 20 each, in the colours below.
const QRgb kLookColours[4] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200), qRgb(90, 90, 90)};

QImage fourLookStrip()
{
    QImage strip(80, 20, QImage::Format_RGB32);
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 20; ++y)
            strip.setPixel(x, y, kLookColours[x / 20]);
    return strip;
}

// What the button draws over a black parent surface.
QImage drawn(CTraButton& button)
{
    QImage image(button.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    button.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

void send(QWidget& target, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(target.mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

class ButtonFixture : public ::testing::Test
{
protected:
    ButtonFixture()
    {
        button.setGeometry(10, 10, 40, 30);
        button.loadStateImages(fourLookStrip(), 20);
    }

    // One step of pointer activity on the button: "in"/"out" moves with no button held,
    // "in+L"/"out+L" with the left button held, "press", "release", "releaseOut", "leave".
    void step(const std::string& what)
    {
        const QPoint inside(20, 15);
        const QPoint outside(60, 15);
        if (what == "in")
            send(button, QEvent::MouseMove, inside, Qt::NoButton, Qt::NoButton);
        else if (what == "out")
            send(button, QEvent::MouseMove, outside, Qt::NoButton, Qt::NoButton);
        else if (what == "in+L")
            send(button, QEvent::MouseMove, inside, Qt::NoButton, Qt::LeftButton);
        else if (what == "out+L")
            send(button, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
        else if (what == "press")
            send(button, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
        else if (what == "release")
            send(button, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
        else if (what == "releaseOut")
            send(button, QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);
        else if (what == "leave") {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&button, &leave);
        } else
            FAIL() << "unknown step " << what;
    }

    QWidget parent;
    CTraButton button{&parent};
};

struct StateCase
{
    const char* name;
    std::vector<std::string> steps;
    bool hovering;
    bool pressed;
    CTraButton::Look look;
    int clicks;
};

KAVREN_PRINT_ROW(StateCase)

class StateTable : public ButtonFixture, public ::testing::WithParamInterface<StateCase>
{
};

TEST_P(StateTable, FlagsAndLookFollowThePointer)
{
    const StateCase& c = GetParam();
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    for (const std::string& s : c.steps)
        step(s);
    EXPECT_EQ(button.hovering(), c.hovering);
    EXPECT_EQ(button.pressed(), c.pressed);
    EXPECT_EQ(button.currentLook(), c.look);
    // The look drawn is the look chosen.
    EXPECT_EQ(drawn(button).pixel(20, 15), kLookColours[c.look]);
    EXPECT_EQ(clicked.count(), c.clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StateTable,
    ::testing::Values(
        StateCase{"untouched", {}, false, false, CTraButton::Normal, 0},
        StateCase{"pointerEnters", {"in"}, true, false, CTraButton::Hover, 0},
        StateCase{"pointerMovesOut", {"in", "out"}, false, false, CTraButton::Normal, 0},
        StateCase{"pointerLeavesWindow", {"in", "leave"}, false, false, CTraButton::Normal, 0},
        StateCase{"pressed", {"in", "press"}, true, true, CTraButton::Pressed, 0},
        StateCase{"releasedClicksAndClearsBoth", {"in", "press", "release"}, false, false, CTraButton::Normal, 1},
        StateCase{"heldAndMovedOff", {"in", "press", "out+L"}, false, true, CTraButton::Normal, 0},
        StateCase{"heldMovedOffAndBackIsPressedAgain", {"in", "press", "out+L", "in+L"}, true, true,
                  CTraButton::Pressed, 0},
        StateCase{"releasedOffThenBackOnIsHover", {"in", "press", "out+L", "releaseOut", "in"}, true, false,
                  CTraButton::Hover, 0},
        StateCase{"moveWithButtonUpClearsALostPress", {"in", "press", "in"}, true, false, CTraButton::Pressed, 0},
        StateCase{"moveInWithButtonUpAfterLostRelease", {"press", "out+L", "in"}, true, false, CTraButton::Hover, 0}),
    [](const ::testing::TestParamInfo<StateCase>& row) { return std::string(row.param.name); });

TEST_F(ButtonFixture, DisabledDrawsTheDisabledLookAndNoLookWithoutOne)
{
    button.setEnabled(false);
    EXPECT_EQ(button.currentLook(), CTraButton::Disabled);
    EXPECT_EQ(drawn(button).pixel(20, 15), kLookColours[3]);

    // A three-look strip has no disabled look: a fresh button draws nothing while disabled.
    CTraButton fresh(&parent);
    fresh.setGeometry(0, 0, 40, 30);
    fresh.loadStateImages(fourLookStrip().copy(0, 0, 60, 20), 20);
    fresh.setEnabled(false);
    EXPECT_EQ(drawn(fresh).pixel(20, 15), qRgb(0, 0, 0));
}

TEST_F(ButtonFixture, LookIsStretchedOverTheWholeButton)
{
    const QImage image = drawn(button);
    EXPECT_EQ(image.pixel(0, 0), kLookColours[0]);
    EXPECT_EQ(image.pixel(39, 29), kLookColours[0]);
}

TEST(CTraButtonDrawing, HalfTransparentLookBlendsOnceOverTheParent)
{
    // (200, 100, 50) at alpha 128 over black is (100, 50, 25) when the premultiplied look is
    // blended once; premultiplying twice would give half of that.
    QImage strip(4, 4, QImage::Format_ARGB32);
    strip.fill(qRgba(200, 100, 50, 128));
    CTraButton button;
    button.resize(4, 4);
    button.loadStateImages(strip, 4);
    const QRgb p = drawn(button).pixel(2, 2);
    EXPECT_NEAR(qRed(p), 100, 1);
    EXPECT_NEAR(qGreen(p), 50, 1);
    EXPECT_NEAR(qBlue(p), 25, 1);
}

// The box around everything the label drew (white-ish pixels over the black surface).
QRect labelBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(CTraButtonLabel, DrawnWhiteInTheBandFiftyPixelsDownAndShiftedWhenPressed)
{
    CTraButton button(QStringLiteral("确 定"));
    button.resize(104, 90);
    const QRect normal = labelBox(drawn(button));
    ASSERT_FALSE(normal.isEmpty());
    EXPECT_GE(normal.top(), 50);
    // Centred in the band from y = 50 to the bottom.
    EXPECT_NEAR((normal.top() + normal.bottom()) / 2.0, (50 + 89) / 2.0, 3.0);
    EXPECT_NEAR((normal.left() + normal.right()) / 2.0, 103 / 2.0, 2.0);
    // Two characters, not three: the space is gone (a space would widen the text by ~5 px).
    EXPECT_LE(normal.width(), 2 * 16);

    // Pressed: the band loses one pixel at its left and top, so the centred text moves by half a
    // pixel each way, which rounding turns into 0 or 1 per axis, but never none at all.
    button.setDown(true);
    const QPoint shift = labelBox(drawn(button)).topLeft() - normal.topLeft();
    EXPECT_GE(shift.x(), 0);
    EXPECT_LE(shift.x(), 1);
    EXPECT_GE(shift.y(), 0);
    EXPECT_LE(shift.y(), 1);
    EXPECT_GE(shift.x() + shift.y(), 1);
}

struct LabelRectCase
{
    const char* name;
    QRect client;
    CTraButton::Look look;
    QRect band;
};

KAVREN_PRINT_ROW(LabelRectCase)

class LabelRect : public ::testing::TestWithParam<LabelRectCase>
{
};

TEST_P(LabelRect, BandFromFiftyPixelsDownAndOnePixelInWhenPressed)
{
    const LabelRectCase& c = GetParam();
    EXPECT_EQ(CTraButton::labelRect(c.client, c.look), c.band);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LabelRect,
    ::testing::Values(LabelRectCase{"normal", QRect(0, 0, 104, 90), CTraButton::Normal, QRect(0, 50, 104, 40)},
                      LabelRectCase{"hover", QRect(0, 0, 104, 90), CTraButton::Hover, QRect(0, 50, 104, 40)},
                      LabelRectCase{"pressed", QRect(0, 0, 104, 90), CTraButton::Pressed, QRect(1, 51, 103, 39)},
                      LabelRectCase{"disabled", QRect(0, 0, 104, 90), CTraButton::Disabled, QRect(0, 50, 104, 40)},
                      LabelRectCase{"shortButtonBandBelowIt", QRect(0, 0, 11, 15), CTraButton::Normal,
                                    QRect(0, 50, 11, -35)}),
    [](const ::testing::TestParamInfo<LabelRectCase>& row) { return std::string(row.param.name); });

TEST(CTraButtonLabel, NothingDrawnForSpacesOrOnAShortButton)
{
    CTraButton spaces(QStringLiteral("   "));
    spaces.resize(104, 90);
    EXPECT_TRUE(labelBox(drawn(spaces)).isEmpty());

    CTraButton shortButton(QStringLiteral("确定"));
    shortButton.resize(60, 30);
    EXPECT_TRUE(labelBox(drawn(shortButton)).isEmpty());
}

TEST(CTraButtonStrips, LoadsStripsFromTheArtworkAndIgnoresMissingOnes)
{
    CTraButton button;
    button.LoadStateImages(155, 11);
    for (int look = 0; look < 3; ++look) {
        EXPECT_EQ(button.stateImage(look).image.size(), QSize(11, 15));
        EXPECT_EQ(button.stateImage(look).image.format(), QImage::Format_ARGB32_Premultiplied);
    }
    EXPECT_TRUE(button.stateImage(3).image.isNull());
    EXPECT_EQ(button.stateImage(3).width, 11);

    const QImage before = button.stateImage(0).image;
    button.LoadStateImages(9999, 30);
    EXPECT_EQ(button.stateImage(0).width, 11);
    EXPECT_EQ(button.stateImage(0).image, before);
}

TEST(CTraButtonCursor, HandOnlyWhereTheProgramAsksForIt)
{
    CTraButton arrow;
    EXPECT_EQ(arrow.cursor().shape(), Qt::ArrowCursor);

    CTraButton::setHandCursor(true);
    CTraButton hand;
    EXPECT_EQ(hand.cursor().shape(), Qt::PointingHandCursor);
    // A button made before the setting shows the hand once the pointer enters it.
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&arrow, &enter);
    EXPECT_EQ(arrow.cursor().shape(), Qt::PointingHandCursor);

    CTraButton::setHandCursor(false);
    CTraButton after;
    EXPECT_EQ(after.cursor().shape(), Qt::ArrowCursor);
    QApplication::sendEvent(&arrow, &enter);
    EXPECT_EQ(arrow.cursor().shape(), Qt::ArrowCursor);
}

} // namespace
