// The three notice dialogs: their results for every button, the X and the window manager's
// close, reuse, Enter and Esc, their prompt description, their geometry and look.
#include "NoticeTestSupport.h"

#include "platform/Prompts.h"
#include "widgets/CTraButton.h"
#include "widgets/KeyDropFilter.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "Printers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using noticetest::makeNotice;
using noticetest::Notice;
using noticetest::runModal;
using widgets::NoticeDialog;

class NoticeTest : public ::testing::Test
{
protected:
    void TearDown() override { platform::Prompts::setAnswerer({}); }
};

struct ResultCase
{
    const char* name;
    const char* kind;
    const char* how;       // "answer": through the prompt layer; "click": the real button; "wmClose"
    const char* button;    // the answer / button name: ok, cancel, close (the X), or an unknown answer
    int returned;
    const char* resultText; // nullptr: the class has no result text
};

KAVREN_PRINT_ROW(ResultCase)

class NoticeResults : public NoticeTest, public ::testing::WithParamInterface<ResultCase>
{
};

TEST_P(NoticeResults, EachButtonEndsTheNoticeWithItsResult)
{
    const ResultCase& c = GetParam();
    Notice notice = makeNotice(c.kind);
    const std::string how = c.how;
    platform::PromptInfo seen;
    if (how == "answer") {
        platform::Prompts::setAnswerer([&](const platform::PromptInfo& info) {
            seen = info;
            return QString::fromUtf8(c.button);
        });
    }
    bool timedOut = false;
    const int returned = runModal(
        notice,
        [&] {
            if (how == "click") {
                QAbstractButton* button = notice.button(c.button);
                QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            } else if (how == "wmClose") {
                notice.dialog->close();
            }
        },
        &timedOut);
    ASSERT_FALSE(timedOut);
    EXPECT_EQ(returned, c.returned);
    EXPECT_FALSE(notice.dialog->isVisible());
    if (c.resultText) {
        EXPECT_EQ(notice.resultText(), QString::fromUtf8(c.resultText));
    }
    if (how == "answer") {
        EXPECT_EQ(seen.kind, QString::fromUtf8(c.kind));
        EXPECT_EQ(seen.caption, QStringLiteral("温馨提醒"));
        EXPECT_EQ(seen.lines, notice.lines);
        const QStringList answers = notice.cancel ? QStringList{QStringLiteral("ok"), QStringLiteral("cancel"),
                                                                QStringLiteral("close")}
                                                  : QStringList{QStringLiteral("ok"), QStringLiteral("close")};
        EXPECT_EQ(seen.answers, answers);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoticeResults,
    ::testing::Values(
        ResultCase{"modelAnswerOk", "CNoticeDialogModel", "answer", "ok", NoticeDialog::Ok, nullptr},
        ResultCase{"modelAnswerClose", "CNoticeDialogModel", "answer", "close", NoticeDialog::Closed, nullptr},
        ResultCase{"modelUnknownAnswerIsTheX", "CNoticeDialogModel", "answer", "later", NoticeDialog::Closed, nullptr},
        ResultCase{"modelClickOk", "CNoticeDialogModel", "click", "ok", NoticeDialog::Ok, nullptr},
        ResultCase{"modelClickX", "CNoticeDialogModel", "click", "close", NoticeDialog::Closed, nullptr},
        ResultCase{"twoSelectAnswerOk", "CNoticeTwoSelect", "answer", "ok", NoticeDialog::Ok, "ok"},
        ResultCase{"twoSelectAnswerCancel", "CNoticeTwoSelect", "answer", "cancel", NoticeDialog::Cancel, "cancel"},
        ResultCase{"twoSelectAnswerCloseLeavesEmpty", "CNoticeTwoSelect", "answer", "close", NoticeDialog::Closed, ""},
        ResultCase{"twoSelectUnknownAnswerIsTheX", "CNoticeTwoSelect", "answer", "yes", NoticeDialog::Closed, ""},
        ResultCase{"twoSelectClickOk", "CNoticeTwoSelect", "click", "ok", NoticeDialog::Ok, "ok"},
        ResultCase{"twoSelectClickCancel", "CNoticeTwoSelect", "click", "cancel", NoticeDialog::Cancel, "cancel"},
        ResultCase{"twoSelectClickXLeavesEmpty", "CNoticeTwoSelect", "click", "close", NoticeDialog::Closed, ""},
        ResultCase{"twoSelectWindowManagerCloseIsTheX", "CNoticeTwoSelect", "wmClose", "", NoticeDialog::Closed, ""},
        ResultCase{"twoSelect2AnswerOk", "CNoticeTwoSelect2", "answer", "ok", NoticeDialog::Ok, "ok"},
        ResultCase{"twoSelect2AnswerCancel", "CNoticeTwoSelect2", "answer", "cancel", NoticeDialog::Cancel, "cancel"},
        ResultCase{"twoSelect2AnswerCloseIsCancel", "CNoticeTwoSelect2", "answer", "close", NoticeDialog::Closed,
                   "cancel"},
        ResultCase{"twoSelect2ClickOk", "CNoticeTwoSelect2", "click", "ok", NoticeDialog::Ok, "ok"},
        ResultCase{"twoSelect2ClickCancel", "CNoticeTwoSelect2", "click", "cancel", NoticeDialog::Cancel, "cancel"},
        ResultCase{"twoSelect2ClickXIsCancel", "CNoticeTwoSelect2", "click", "close", NoticeDialog::Closed, "cancel"},
        ResultCase{"twoSelect2WindowManagerCloseIsCancel", "CNoticeTwoSelect2", "wmClose", "", NoticeDialog::Closed,
                   "cancel"}),
    [](const ::testing::TestParamInfo<ResultCase>& row) { return std::string(row.param.name); });

class NoticeKeys : public NoticeTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(NoticeKeys, EnterAndEscDoNothingWhereverTheFocusIs)
{
    Notice notice = makeNotice(GetParam());
    bool stillOpen = false;
    bool timedOut = false;
    const int returned = runModal(
        notice,
        [&] {
            QWidget* targets[] = {notice.dialog.get(), notice.ok, notice.cancel, notice.dialog->closeButton()};
            for (QWidget* target : targets) {
                if (!target)
                    continue;
                target->setFocus();
                for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
                    QTest::keyClick(target, key);
            }
            QCoreApplication::processEvents();
            stillOpen = notice.dialog->isVisible();
            notice.ok->click();
        },
        &timedOut);
    ASSERT_FALSE(timedOut);
    EXPECT_TRUE(stillOpen);
    // The notice ended through 确定, not through a key.
    EXPECT_EQ(returned, NoticeDialog::Ok);
    if (notice.resultText) {
        EXPECT_EQ(notice.resultText(), QStringLiteral("ok"));
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, NoticeKeys,
                         ::testing::Values("CNoticeDialogModel", "CNoticeTwoSelect", "CNoticeTwoSelect2"),
                         [](const ::testing::TestParamInfo<const char*>& row) { return std::string(row.param); });

// Answers the notices in turn with the given replies (the prompt layer copies its answerer for
// every prompt, so the queue is shared).
void answerInTurn(const QStringList& replies)
{
    auto queue = std::make_shared<QStringList>(replies);
    platform::Prompts::setAnswerer([queue](const platform::PromptInfo&) {
        return queue->isEmpty() ? QString() : queue->takeFirst();
    });
}

TEST_F(NoticeTest, ReusedQuestionKeepsItsLastResultThroughTheX)
{
    widgets::CNoticeTwoSelect question(nullptr, 1.0);
    question.setText(QStringLiteral("强烈建议您将Kavren工具箱设置为开机启动"));
    answerInTurn({QStringLiteral("cancel"), QStringLiteral("close"), QStringLiteral("ok"), QStringLiteral("close")});
    EXPECT_EQ(question.DoModal(), NoticeDialog::Cancel);
    EXPECT_EQ(question.resultText(), QStringLiteral("cancel"));
    EXPECT_EQ(question.DoModal(), NoticeDialog::Closed);
    EXPECT_EQ(question.resultText(), QStringLiteral("cancel"));
    EXPECT_EQ(question.DoModal(), NoticeDialog::Ok);
    EXPECT_EQ(question.DoModal(), NoticeDialog::Closed);
    EXPECT_EQ(question.resultText(), QStringLiteral("ok"));
}

TEST_F(NoticeTest, ExitAfterCancelledLogoutStartsFromCancelAndNeedsOk)
{
    // The main window keeps one three-line question for logout and exit.
    widgets::CNoticeTwoSelect2 question(nullptr, 1.0);
    QStringList seenFirstLines;
    QString resultBeforeExit;
    platform::Prompts::setAnswerer([&](const platform::PromptInfo& info) {
        seenFirstLines << info.lines.value(0);
        if (seenFirstLines.size() == 2)
            resultBeforeExit = question.resultText();
        return seenFirstLines.size() == 1 ? QStringLiteral("cancel") : QStringLiteral("ok");
    });
    question.setLines(QStringLiteral("注销Kavren工具箱,"), QStringLiteral("工具箱内软件也将同时关闭"),
                      QStringLiteral("请保存相关数据后点击“确定”正常注销"));
    question.DoModal();
    EXPECT_EQ(question.resultText(), QStringLiteral("cancel"));

    question.setLines(QStringLiteral("退出Kavren工具箱,"), QStringLiteral("工具箱内软件也将同时关闭"),
                      QStringLiteral("请保存相关数据后点击“确定”正常退出"));
    EXPECT_EQ(question.DoModal(), NoticeDialog::Ok);
    EXPECT_EQ(resultBeforeExit, QStringLiteral("cancel"));
    EXPECT_EQ(question.resultText(), QStringLiteral("ok"));
    EXPECT_EQ(seenFirstLines, (QStringList{QStringLiteral("注销Kavren工具箱,"), QStringLiteral("退出Kavren工具箱,")}));
    // The new lines are what the notice shows.
    EXPECT_EQ(question.lineLabel(0)->text(), QStringLiteral("退出Kavren工具箱,"));
}

TEST_F(NoticeTest, ReusedNoticeShowsItsNewText)
{
    widgets::CNoticeDialogModel notice(nullptr, 1.0);
    answerInTurn({QStringLiteral("ok"), QStringLiteral("ok")});
    notice.setText(QStringLiteral("解析推送数据失败，请检查网络连接是否正常."));
    EXPECT_EQ(notice.DoModal(), NoticeDialog::Ok);
    notice.setText(QStringLiteral("发送数据失败，请检查网络连接是否正常."));
    EXPECT_EQ(notice.DoModal(), NoticeDialog::Ok);
    EXPECT_EQ(notice.messageLabel()->text(), QStringLiteral("发送数据失败，请检查网络连接是否正常."));
}

struct GeometryCase
{
    const char* name;
    const char* kind;
    double scale;
    QSize size;
    QRect closeX;
};

KAVREN_PRINT_ROW(GeometryCase)

class NoticeGeometry : public NoticeTest, public ::testing::WithParamInterface<GeometryCase>
{
};

TEST_P(NoticeGeometry, SizeCloseButtonAndCommonLook)
{
    const GeometryCase& c = GetParam();
    Notice notice = makeNotice(c.kind, c.scale);
    NoticeDialog& dialog = *notice.dialog;
    EXPECT_EQ(dialog.size(), c.size);
    EXPECT_EQ(dialog.closeButton()->geometry(), c.closeX);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(dialog.closeButton()->stateImage(0).width, 11);

    const QImage shot = dialog.grab().toImage();
    const int band = static_cast<int>(30 * c.scale);
    const QRgb header = shot.pixel(shot.width() / 2, band / 2);
    EXPECT_GT(qBlue(header), qRed(header) + 60) << "the title band is blue";
    EXPECT_EQ(QColor(shot.pixel(0, shot.height() - 1)), QColor(161, 161, 161));
    EXPECT_EQ(QColor(shot.pixel(shot.width() - 1, shot.height() / 2)), QColor(161, 161, 161));
    EXPECT_EQ(QColor(shot.pixel(0, band)), QColor(161, 161, 161));
    EXPECT_EQ(QColor(shot.pixel(5, band + 5)), QColor(255, 255, 255));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoticeGeometry,
    ::testing::Values(
        GeometryCase{"model96dpi", "CNoticeDialogModel", 1.0, QSize(400, 200), QRect(369, 7, 11, 15)},
        GeometryCase{"model144dpi", "CNoticeDialogModel", 1.5, QSize(600, 300), QRect(554, 10, 16, 22)},
        GeometryCase{"twoSelect96dpi", "CNoticeTwoSelect", 1.0, QSize(300, 190), QRect(269, 7, 11, 15)},
        GeometryCase{"twoSelect120dpiTruncates", "CNoticeTwoSelect", 1.25, QSize(375, 237), QRect(337, 8, 13, 18)},
        GeometryCase{"twoSelect2_96dpi", "CNoticeTwoSelect2", 1.0, QSize(312, 170), QRect(281, 7, 11, 15)},
        GeometryCase{"twoSelect2_144dpiKeepsXUnscaled", "CNoticeTwoSelect2", 1.5, QSize(468, 255),
                     QRect(437, 7, 11, 15)}),
    [](const ::testing::TestParamInfo<GeometryCase>& row) { return std::string(row.param.name); });

TEST_F(NoticeTest, ThreeLineQuestionShowsTheMiddleLineInRed)
{
    widgets::CNoticeTwoSelect2 question(nullptr, 1.0);
    EXPECT_EQ(question.lineLabel(1)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_NE(question.lineLabel(0)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_NE(question.lineLabel(2)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Statics lie on the painted surface.
    EXPECT_FALSE(question.lineLabel(1)->autoFillBackground());
}

TEST(KeyDropFilter, CoversChildrenAddedLater)
{
    QWidget root;
    new widgets::KeyDropFilter(&root, {Qt::Key_Return, Qt::Key_Escape});
    auto* edit = new QLineEdit(&root);
    int returns = 0;
    QObject::connect(edit, &QLineEdit::returnPressed, [&] { ++returns; });
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(returns, 0);
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
}

} // namespace
