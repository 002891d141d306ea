// The drag hit test: a press on a skinned window's free surface moves the window (here by the
// fallback that follows the pointer, as the offscreen platform has no window manager), a press on
// a control does not.
#include "NoticeTestSupport.h"

#include "widgets/DragHitTest.h"

#include <QLabel>
#include <QTest>
#include <QWindow>

#include "Printers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DragCase
{
    const char* name;
    const char* target;   // where the press lands
    bool moves;
};

KAVREN_PRINT_ROW(DragCase)

class DragHitTestTable : public ::testing::TestWithParam<DragCase>
{
};

TEST_P(DragHitTestTable, PressOnFreeSurfaceMovesTheWindow)
{
    const DragCase& c = GetParam();
    auto* question = new widgets::CNoticeTwoSelect(nullptr, 1.0);
    std::unique_ptr<widgets::CNoticeTwoSelect> owner(question);
    question->setText(QStringLiteral("账号已登陆，是否强制登陆!"));
    question->move(200, 150);
    question->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(question));

    const std::string target = c.target;
    QPoint at;
    if (target == "band")
        at = QPoint(120, 15);
    else if (target == "body")
        at = QPoint(8, 100);
    else if (target == "label")
        at = question->messageLabel()->geometry().center();
    else if (target == "ok")
        at = question->okButton()->geometry().center();
    else
        at = question->closeButton()->geometry().center();

    // Through the window, as the window system delivers it: the widget under the point gets the
    // press first. Positions are in the window's coordinates, which move with it.
    QWindow* window = question->windowHandle();
    const QPoint start = question->pos();
    const QPoint delta(30, 20);
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    EXPECT_EQ(question->dragHitTest()->followingPointer(), c.moves);
    QTest::mouseMove(window, at + delta);
    const QPoint moved = c.moves ? delta : QPoint();
    EXPECT_EQ(question->pos(), start + moved);
    QTest::mouseRelease(window, Qt::LeftButton, {}, at + delta - moved);
    EXPECT_FALSE(question->dragHitTest()->followingPointer());

    // Once released, the window stays where it is.
    QTest::mouseMove(window, QPoint(150, 100));
    EXPECT_EQ(question->pos(), start + moved);
}

INSTANTIATE_TEST_SUITE_P(Table, DragHitTestTable,
                         ::testing::Values(DragCase{"titleBand", "band", true}, DragCase{"bodyMargin", "body", true},
                                           DragCase{"staticTextIsSurface", "label", true},
                                           DragCase{"buttonDoesNotDrag", "ok", false},
                                           DragCase{"closeXDoesNotDrag", "x", false}),
                         [](const ::testing::TestParamInfo<DragCase>& row) { return std::string(row.param.name); });

} // namespace
