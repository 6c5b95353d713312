// Draws the chart picture that the calculation book template carries until the program
// puts the current storm's chart in its place: a schematic hyetograph of 553 x 400 pixels,
// the size of the document's picture frame at 96 pixels per inch. The result is kept in
// the template tree (src/templates/CalcBook/word/media/image9.png); run this again after
// changing the drawing:
//
//     tavrel-book-placeholder src/templates/CalcBook/word/media/image9.png
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

const QColor Ink(0x33, 0x33, 0x33);
const QColor Grid(0xe3, 0xe3, 0xe3);
const QColor Bars(0x5b, 0x9b, 0xd5);
const QColor Line(0xc0, 0x39, 0x2b);
const QColor Note(0x9a, 0xa5, 0xb1);

QFont TextFont(int pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixels);
    return font;
}

// Chicago-like shape: rising to a peak at 40 % of the storm, falling off more slowly.
double Intensity(double x)
{
    const double peak = 0.4;
    const double distance = x <= peak ? (peak - x) / peak : (x - peak) / (1 - peak);
    return 1 / std::pow(1 + 9 * distance, 1.3);
}

QImage Draw()
{
    QImage image(553, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRectF plot(62, 24, 553 - 62 - 62, 400 - 24 - 64);
    painter.setPen(QPen(Grid, 1));
    for (int k = 1; k < 5; ++k) {
        const double y = plot.top() + plot.height() * k / 5;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }

    // Cumulative rainfall, hanging from the top on the reversed right axis.
    const int n = 40;
    const double step = plot.width() / n;
    double total = 0, sum = 0;
    for (int i = 0; i < n; ++i)
        total += Intensity((i + 0.5) / n);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Bars);
    for (int i = 0; i < n; ++i) {
        sum += Intensity((i + 0.5) / n);
        painter.drawRect(QRectF(plot.left() + i * step + step * 0.15, plot.top(), step * 0.7, plot.height() * 0.45 * sum / total));
    }

    // Intensity on the left axis.
    QPainterPath curve;
    for (int i = 0; i <= 200; ++i) {
        const double x = i / 200.0;
        const QPointF point(plot.left() + plot.width() * x, plot.bottom() - plot.height() * 0.48 * Intensity(x));
        if (i == 0)
            curve.moveTo(point);
        else
            curve.lineTo(point);
    }
    painter.setPen(QPen(Line, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);

    painter.setPen(QPen(Ink, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.drawLine(plot.topRight(), plot.bottomRight());
    for (int k = 0; k <= 8; ++k) {
        const double x = plot.left() + plot.width() * k / 8;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
    }

    painter.setFont(TextFont(13));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 22, plot.width(), 20), Qt::AlignCenter, QStringLiteral("时间(min)"));
    painter.save();
    painter.translate(20, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, -10, plot.height(), 20), Qt::AlignCenter, QStringLiteral("降雨强度(mm/min)"));
    painter.restore();
    painter.save();
    painter.translate(553 - 20, plot.center().y());
    painter.rotate(90);
    painter.drawText(QRectF(-plot.height() / 2, -10, plot.height(), 20), Qt::AlignCenter, QStringLiteral("降雨总量(mm)"));
    painter.restore();

    painter.setPen(Note);
    painter.setFont(TextFont(12));
    painter.drawText(QRectF(plot.right() - 198, plot.top() + plot.height() * 0.6, 190, 44), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("示意图\n输出计算书时换成当前雨型的曲线"));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrel-book-placeholder IMAGE9.PNG\n");
        return 2;
    }
    if (!Draw().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "tavrel-book-placeholder: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
