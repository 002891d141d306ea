#include "widgets/NoticeDialog.h"

#include "platform/DpiScale.h"
#include "platform/Prompts.h"
#include "widgets/CTraButton.h"
#include "widgets/KeyDropFilter.h"
#include "widgets/LoadPngImage.h"
#include "widgets/NoticeButton.h"
#include "widgets/SkinFont.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>

namespace widgets {

namespace {

constexpr int kBandHeight = 30;
constexpr int kHeaderPicture = 149;
constexpr int kIconPicture = 175;
constexpr int kCloseStrip = 155;
const QColor kFrameColour(161, 161, 161);
const QColor kTitleColour(235, 255, 255);
const QColor kBodyColour(255, 255, 255);

} // namespace

QString NoticeDialog::title()
{
    return QStringLiteral("温馨提醒");
}

NoticeDialog::NoticeDialog(QWidget* parent, double scale, int width, int height, bool unscaledClose)
    : SkinnedDialog(parent, Qt::WindowStaysOnTopHint)
    , m_scale(scale > 0.0 ? scale : platform::DpiScale::compute())
    , m_titleFont(SkinFont::withCellHeight(20, QFont::Bold))
    , m_close(new CTraButton(this))
{
    setWindowTitle(title());
    setFixedSize(px(width), px(height));
    LoadPngImage(m_header, kHeaderPicture);
    LoadPngImage(m_icon, kIconPicture);

    // The X's top-right corner lies 20 pixels in from the right edge and 7 down from the top.
    const int s20 = unscaledClose ? 20 : px(20);
    const int s7 = unscaledClose ? 7 : px(7);
    const int s11 = unscaledClose ? 11 : px(11);
    const int s15 = unscaledClose ? 15 : px(15);
    m_close->setGeometry(this->width() - s20 - s11, s7, s11, s15);
    m_close->LoadStateImages(kCloseStrip, 11);
    connect(m_close, &QAbstractButton::clicked, this, [this] { closeClicked(); });

    new KeyDropFilter(this, {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape});
}

int NoticeDialog::px(int pixels) const
{
    return platform::DpiScale::scaled(pixels, m_scale);
}

QLabel* NoticeDialog::addLine(const QRect& geometry, Qt::Alignment alignment, bool wrap, const QColor& colour)
{
    auto* label = new QLabel(this);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    label->setWordWrap(wrap);
    label->setTextFormat(Qt::PlainText);
    label->setFont(SkinFont::withPixelSize(px(14)));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

NoticeButton* NoticeDialog::addButton(const QString& text, bool primary, const QRect& geometry)
{
    auto* button = new NoticeButton(text, primary ? NoticeButton::Role::Primary : NoticeButton::Role::Secondary,
                                    px(14), this);
    button->setGeometry(geometry);
    return button;
}

int NoticeDialog::runPrompt(const QString& kind, const QStringList& lines, const QStringList& answers)
{
    m_ending = false;
    platform::PromptInfo info;
    info.kind = kind;
    info.caption = title();
    info.lines = lines;
    info.answers = answers;
    return platform::Prompts::exec(*this, info, [this](const QString& reply) {
        QAbstractButton* button = buttonFor(reply);
        (button ? button : m_close)->click();
    });
}

void NoticeDialog::finish(int result)
{
    m_ending = true;
    done(result);
}

void NoticeDialog::reject()
{
    if (!m_ending && isVisible())
        closeClicked();
}

void NoticeDialog::closeEvent(QCloseEvent* event)
{
    if (m_ending || !isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    closeClicked();
}

void NoticeDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int band = px(kBandHeight);
    painter.fillRect(rect(), kBodyColour);

    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_header.isNull())
        painter.drawImage(QRect(0, 0, width(), band), m_header);
    if (!m_icon.isNull())
        painter.drawImage(QRect(0, px(2), px(30), px(28)), m_icon);

    painter.setFont(m_titleFont);
    painter.setPen(kTitleColour);
    painter.drawText(QRect(px(35), px(5), width() - px(35), band - px(5)), Qt::AlignLeft | Qt::AlignTop, title());

    painter.setPen(kFrameColour);
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.drawPolyline(QPolygon({QPoint(0, band), QPoint(0, bottom), QPoint(right, bottom), QPoint(right, band)}));
}

} // namespace widgets
