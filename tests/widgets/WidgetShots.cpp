// Renders the notice dialogs and image buttons in each of their looks into PNG files, to be
// looked at. Under an X server (xvfb-run) each notice is also captured from the screen, so what
// the server shows is checked too, not only what the widget renders by itself.
//
// Usage: widgets_shots <output folder>
#include "platform/Prompts.h"
#include "widgets/CNoticeDialogModel.h"
#include "widgets/CNoticeTwoSelect.h"
#include "widgets/CNoticeTwoSelect2.h"
#include "widgets/CTraButton.h"
#include "widgets/DragHitTest.h"
#include "widgets/LoadPngImage.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <cstdio>

namespace {

QString g_outDir;

void save(const QImage& image, const QString& name)
{
    const QString path = g_outDir + QLatin1Char('/') + name;
    if (!image.save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// Answers the next notice after capturing it: the widget's own rendering and, on a real
// display server, the screen area it covers.
void captureNextNotice(QDialog* dialog, const QString& name)
{
    platform::Prompts::setAnswerer([dialog, name](const platform::PromptInfo&) {
        if (!QTest::qWaitForWindowExposed(dialog))
            std::fprintf(stderr, "%s was not exposed\n", qPrintable(name));
        QTest::qWait(300);
        save(dialog->grab().toImage(), name + QStringLiteral(".png"));
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            const QRect area = dialog->frameGeometry();
            save(dialog->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage(),
                 name + QStringLiteral("-screen.png"));
        }
        return QStringLiteral("close");
    });
}

// A four-look strip in the style of the main window's page buttons: nothing, a light plate, a
// darker plate, a grey plate; 104 x 90 each.
QImage pageButtonStrip()
{
    QImage strip(416, 90, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QColor plates[4] = {QColor(255, 255, 255, 0), QColor(255, 255, 255, 60), QColor(16, 62, 130, 90),
                              QColor(120, 120, 120, 140)};
    for (int look = 0; look < 4; ++look) {
        painter.setBrush(plates[look]);
        painter.drawRoundedRect(QRectF(look * 104 + 4, 4, 96, 82), 8, 8);
        painter.setBrush(QColor(255, 255, 255, look == 3 ? 120 : 230));
        painter.drawEllipse(QPointF(look * 104 + 52, 28), 14, 14);
    }
    return strip;
}

// The title band with image buttons on it in each look.
class ButtonBoard : public QWidget
{
public:
    ButtonBoard()
    {
        widgets::LoadPngImage(m_band, 149);
        resize(560, 200);
        const char* names[4] = {"normal", "hover", "pressed", "disabled"};
        Q_UNUSED(names);
        for (int look = 0; look < 4; ++look) {
            auto* page = new widgets::CTraButton(QStringLiteral("确 定"), this);
            page->setGeometry(20 + look * 130, 5, 104, 90);
            page->loadStateImages(pageButtonStrip(), 104);
            force(page, look);
        }
        for (int look = 0; look < 3; ++look) {
            for (int strip : {155, 156}) {
                const int x = 20 + look * 130 + (strip == 156 ? 0 : 50);
                auto* big = new widgets::CTraButton(this);
                big->setGeometry(x, 110, 33, 45);
                big->LoadStateImages(strip, 11);
                force(big, look);
                auto* small = new widgets::CTraButton(this);
                small->setGeometry(x + 11, 170, 11, 15);
                small->LoadStateImages(strip, 11);
                force(small, look);
            }
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(rect(), m_band);
    }

private:
    static void force(widgets::CTraButton* button, int look)
    {
        if (look == widgets::CTraButton::Hover) {
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(button, &move);
        } else if (look == widgets::CTraButton::Pressed) {
            button->setDown(true);
        } else if (look == widgets::CTraButton::Disabled) {
            button->setEnabled(false);
        }
    }

    QImage m_band;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_outDir);

    widgets::CNoticeDialogModel model(nullptr, 1.0);
    model.setText(QStringLiteral("连接Kavren工具箱服务器失败，请检查网络连接是否正常！"));
    captureNextNotice(&model, QStringLiteral("notice-model"));
    model.DoModal();

    widgets::CNoticeTwoSelect question(nullptr, 1.0);
    question.setText(QStringLiteral("强烈建议您将Kavren工具箱设置为开机启动，可以第一时间接收Kavren最新的淘宝营销干货哦！"));
    captureNextNotice(&question, QStringLiteral("notice-twoselect"));
    question.DoModal();

    widgets::CNoticeTwoSelect cache(nullptr, 1.0);
    cache.setText(QStringLiteral("\n  缓存清理将在下次重启时候生效。"));
    captureNextNotice(&cache, QStringLiteral("notice-twoselect-cache"));
    cache.DoModal();

    widgets::CNoticeTwoSelect2 exitQuestion(nullptr, 1.0);
    exitQuestion.setLines(QStringLiteral("退出Kavren工具箱,"), QStringLiteral("工具箱内软件也将同时关闭"),
                          QStringLiteral("请保存相关数据后点击“确定”正常退出"));
    captureNextNotice(&exitQuestion, QStringLiteral("notice-twoselect2"));
    exitQuestion.DoModal();

    widgets::CNoticeTwoSelect2 scaled(nullptr, 1.5);
    scaled.setLines(QStringLiteral("注销Kavren工具箱,"), QStringLiteral("工具箱内软件也将同时关闭"),
                    QStringLiteral("请保存相关数据后点击“确定”正常注销"));
    captureNextNotice(&scaled, QStringLiteral("notice-twoselect2-144dpi"));
    scaled.DoModal();

    widgets::CNoticeTwoSelect forced(nullptr, 1.25);
    forced.setText(QStringLiteral("账号已登陆，是否强制登陆!"));
    captureNextNotice(&forced, QStringLiteral("notice-twoselect-120dpi"));
    forced.DoModal();

    ButtonBoard board;
    board.show();
    if (!QTest::qWaitForWindowExposed(&board))
        std::fprintf(stderr, "the button board was not exposed\n");
    QTest::qWait(200);
    save(board.grab().toImage(), QStringLiteral("button-looks.png"));
    board.hide();

    // Dragging by the surface on this display: the window manager moves the window where there
    // is one; without one the window follows the pointer itself. Either way it ends up moved.
    widgets::CNoticeTwoSelect dragged(nullptr, 1.0);
    dragged.move(100, 100);
    dragged.show();
    if (!QTest::qWaitForWindowExposed(&dragged))
        std::fprintf(stderr, "the dragged notice was not exposed\n");
    QTest::qWait(200);
    const QPoint before = dragged.pos();
    QTest::mousePress(dragged.windowHandle(), Qt::LeftButton, {}, QPoint(120, 15));
    const bool following = dragged.dragHitTest()->followingPointer();
    QTest::mouseMove(dragged.windowHandle(), QPoint(120 + 250, 15 + 180));
    QTest::mouseRelease(dragged.windowHandle(), Qt::LeftButton, {}, QPoint(120, 15));
    QTest::qWait(300);
    std::printf("drag on %s: %s, window moved from (%d, %d) to (%d, %d)\n", qPrintable(QGuiApplication::platformName()),
                following ? "followed the pointer itself" : "handed to the window manager", before.x(), before.y(),
                dragged.pos().x(), dragged.pos().y());
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        save(dragged.screen()->grabWindow(0, 0, 0, 700, 500).toImage(), QStringLiteral("drag-screen.png"));
    return 0;
}
