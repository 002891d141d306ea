// Draws the programs' artwork at build time: one PNG per resource number plus the .qrc that
// compiles them in as ":/png/<number>.png". Everything is drawn from shapes and gradients, so
// no font and no screen are needed and the output is the same on every build machine.
//
// To add a picture: write a drawing function and add a row to kArtwork below. A row names the
// resource number, the size of one look, the number of looks (image strips hold their looks
// side by side, left to right: normal, hover, pressed, disabled) and whether the picture is
// opaque (saved without an alpha channel).
//
// Usage: kavren_artwork_generator <output folder>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

// The house palette: a clear sky blue over white.
const QColor kBlueLight(88, 166, 248);
const QColor kBlue(47, 128, 237);
const QColor kBlueDeep(31, 102, 201);
const QColor kNavy(16, 62, 130);
const QColor kWhite(255, 255, 255);

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

// Each function paints one look into (0, 0, size); the painter is clipped to that look.
using DrawFunction = void (*)(QPainter& painter, const QSizeF& size, int look);

// 149: the header band that windows stretch over their top edge (notices squeeze it to 30
// pixels, the main window shows it 100 high, the settings window takes its top 30 rows).
// A vertical gradient with a soft highlight at the top and a few faint arcs on the right,
// so it stays tidy at any stretch.
void drawHeaderBand(QPainter& painter, const QSizeF& size, int)
{
    const double w = size.width();
    const double h = size.height();
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0.0, kBlueLight);
    fill.setColorAt(1.0, kBlue);
    painter.fillRect(QRectF(0, 0, w, h), fill);

    QLinearGradient sheen(0, 0, 0, h * 0.5);
    sheen.setColorAt(0.0, withAlpha(kWhite, 46));
    sheen.setColorAt(1.0, withAlpha(kWhite, 0));
    painter.fillRect(QRectF(0, 0, w, h * 0.5), sheen);

    painter.setPen(Qt::NoPen);
    const struct
    {
        double cx, cy, r;
        int alpha;
    } arcs[] = {{w * 0.86, h * 1.9, h * 1.75, 20}, {w * 0.95, h * 1.2, h * 1.05, 16}, {w * 0.72, h * 2.6, h * 2.1, 12}};
    for (const auto& arc : arcs) {
        painter.setBrush(withAlpha(kWhite, arc.alpha));
        painter.drawEllipse(QPointF(arc.cx, arc.cy), arc.r, arc.r);
    }

    painter.fillRect(QRectF(0, h - 1, w, 1), withAlpha(kBlueDeep, 160));
}

// The shared backdrop of the small title-bar buttons: nothing while normal, a light disc on
// hover, a darker disc when pressed. These strips have no disabled look.
void drawTitleButtonBackdrop(QPainter& painter, const QSizeF& size, int look)
{
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double radius = std::min(size.width(), size.height()) / 2.0;
    painter.setPen(Qt::NoPen);
    if (look == 1) {
        painter.setBrush(withAlpha(kWhite, 72));
        painter.drawEllipse(centre, radius, radius);
    } else if (look == 2) {
        painter.setBrush(withAlpha(kNavy, 110));
        painter.drawEllipse(centre, radius, radius);
    }
}

QPen glyphPen(int look)
{
    QPen pen(look == 2 ? QColor(214, 232, 255) : withAlpha(kWhite, look == 0 ? 235 : 255));
    pen.setWidthF(1.5);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// 155: the close button strip, three looks of 11 x 15.
void drawCloseButton(QPainter& painter, const QSizeF& size, int look)
{
    drawTitleButtonBackdrop(painter, size, look);
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    const double arm = 3.0;
    painter.setPen(glyphPen(look));
    painter.drawLine(c + QPointF(-arm, -arm), c + QPointF(arm, arm));
    painter.drawLine(c + QPointF(-arm, arm), c + QPointF(arm, -arm));
}

// 156: the minimise button strip, three looks of 11 x 15.
void drawMinimiseButton(QPainter& painter, const QSizeF& size, int look)
{
    drawTitleButtonBackdrop(painter, size, look);
    const QPointF c(size.width() / 2.0, size.height() / 2.0 + 0.5);
    painter.setPen(glyphPen(look));
    painter.drawLine(c + QPointF(-3.2, 0), c + QPointF(3.2, 0));
}

// 175: the small bell that sits at the left of a notice's title band, 30 x 28.
void drawNoticeIcon(QPainter& painter, const QSizeF& size, int)
{
    const double cx = size.width() / 2.0;
    QPainterPath bell;
    bell.moveTo(cx - 8.0, 20.0);
    bell.cubicTo(cx - 6.0, 18.0, cx - 6.5, 14.5, cx - 6.5, 12.0);
    bell.cubicTo(cx - 6.5, 7.5, cx - 4.0, 5.0, cx, 5.0);
    bell.cubicTo(cx + 4.0, 5.0, cx + 6.5, 7.5, cx + 6.5, 12.0);
    bell.cubicTo(cx + 6.5, 14.5, cx + 6.0, 18.0, cx + 8.0, 20.0);
    bell.closeSubpath();

    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(kNavy, 70));
    painter.drawPath(bell.translated(0.6, 0.8));
    painter.setBrush(kWhite);
    painter.drawPath(bell);
    painter.drawEllipse(QPointF(cx, 4.2), 1.4, 1.4);
    painter.drawEllipse(QPointF(cx, 22.0), 2.2, 2.2);

    QPen waves(withAlpha(kWhite, 210));
    waves.setWidthF(1.3);
    waves.setCapStyle(Qt::RoundCap);
    painter.setPen(waves);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(cx - 13.0, 6.0, 8.0, 10.0), 120 * 16, 100 * 16);
    painter.drawArc(QRectF(cx + 5.0, 6.0, 8.0, 10.0), -40 * 16, 100 * 16);
}

// 128: the application icon: a white toolbox on a rounded blue tile, transparent around it.
void drawApplicationIcon(QPainter& painter, const QSizeF& size, int)
{
    const double s = size.width() / 256.0;
    painter.scale(s, s);

    // A soft shadow built from a few widening, fading tiles.
    painter.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        painter.setBrush(withAlpha(kNavy, 9));
        painter.drawRoundedRect(QRectF(16 - i, 22 - i, 224 + 2 * i, 224 + 2 * i), 52 + i, 52 + i);
    }

    const QRectF tile(16, 12, 224, 224);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0.0, kBlueLight);
    fill.setColorAt(1.0, kBlueDeep);
    painter.setBrush(fill);
    painter.drawRoundedRect(tile, 52, 52);

    QRadialGradient glow(QPointF(80, 40), 200);
    glow.setColorAt(0.0, withAlpha(kWhite, 70));
    glow.setColorAt(1.0, withAlpha(kWhite, 0));
    painter.setBrush(glow);
    painter.drawRoundedRect(tile, 52, 52);

    // Handle.
    QPen handle(kWhite);
    handle.setWidthF(14);
    handle.setJoinStyle(Qt::RoundJoin);
    painter.setPen(handle);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(98, 62, 60, 40), 12, 12);

    // Body, with the lid's seam and a latch.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWhite);
    painter.drawRoundedRect(QRectF(52, 92, 152, 104), 18, 18);
    painter.setBrush(kBlue);
    painter.drawRect(QRectF(52, 130, 152, 8));
    painter.drawRoundedRect(QRectF(114, 120, 28, 30), 7, 7);
    painter.setBrush(kWhite);
    painter.drawRoundedRect(QRectF(121, 127, 14, 16), 3, 3);
}

struct Artwork
{
    int number;
    int lookWidth;
    int height;
    int looks;
    bool opaque;
    DrawFunction draw;
};

// clang-format off
const Artwork kArtwork[] = {
    // number, look width, height, looks, opaque, drawing
    {128,  256, 256, 1, false, drawApplicationIcon}, // application icon (window and tray)
    {149, 1280,  90, 1, true,  drawHeaderBand},      // header band of the skinned windows
    {155,   11,  15, 3, false, drawCloseButton},     // close X: normal, hover, pressed
    {156,   11,  15, 3, false, drawMinimiseButton},  // minimise: normal, hover, pressed
    {175,   30,  28, 1, false, drawNoticeIcon},      // bell at the left of a notice's band
};
// clang-format on

QImage render(const Artwork& art)
{
    QImage image(art.lookWidth * art.looks, art.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int look = 0; look < art.looks; ++look) {
        painter.save();
        painter.translate(look * art.lookWidth, 0);
        painter.setClipRect(0, 0, art.lookWidth, art.height);
        art.draw(painter, QSizeF(art.lookWidth, art.height), look);
        painter.restore();
    }
    painter.end();
    return art.opaque ? image.convertToFormat(QImage::Format_RGB32)
                      : image.convertToFormat(QImage::Format_ARGB32);
}

bool writeQrc(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    out << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const Artwork& art : kArtwork)
        out << "  <file>png/" << art.number << ".png</file>\n";
    out << "</qresource>\n</RCC>\n";
    out.flush();
    return file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir + QStringLiteral("/png"))) {
        std::fprintf(stderr, "cannot create %s/png\n", argv[1]);
        return 1;
    }
    for (const Artwork& art : kArtwork) {
        const QString path = outDir + QStringLiteral("/png/") + QString::number(art.number) + QStringLiteral(".png");
        if (!render(art).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (!writeQrc(outDir + QStringLiteral("/artwork.qrc"))) {
        std::fprintf(stderr, "cannot write the resource list\n");
        return 1;
    }
    return 0;
}
