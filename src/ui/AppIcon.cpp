#include "ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRegularExpression>
#include <QVector>
#include <cmath>

namespace {

// Everything is drawn on a 256 × 256 canvas.
constexpr double Canvas = 256;

struct Shape {
    enum Kind { RoundRect, Rect, Polyline } kind;
    QRectF rect;
    double radius = 0;
    QVector<QPointF> points;
    QColor fill;            // invalid: not filled
    QColor stroke;          // invalid: no outline
    double strokeWidth = 0;
};

// The intensity of a Chicago storm (peak at 0.4 of the duration) at fraction f of the
// duration, scaled to 1 at the peak.
double StormShape(double f)
{
    const double r = 0.4, b = 7, n = 0.656, duration = 120;
    const double t = f * duration, tp = r * duration;
    const double x = t <= tp ? (tp - t) / r : (t - tp) / (1 - r);
    const auto intensity = [&](double x) { return ((1 - n) * x + b) / std::pow(x + b, n + 1); };
    return intensity(x) / intensity(0);
}

QVector<Shape> Shapes()
{
    QVector<Shape> shapes;
    shapes.push_back({Shape::RoundRect, QRectF(16, 16, 224, 224), 36, {}, QColor(0xF4, 0xF9, 0xFF), QColor(0x2F, 0x6F, 0xA8), 8});

    // Cumulative rainfall: slow, then steep around the peak, then slow again.
    const double left = 44, right = 212, top = 40;
    const int bars = 8;
    const double pitch = (right - left) / (bars - 1);
    double total = 0;
    QVector<double> sums;
    for (int i = 0; i < bars; ++i) {
        total += StormShape((i + 0.5) / bars);
        sums.push_back(total);
    }
    for (int i = 0; i < bars; ++i) {
        const double height = 8 + 92 * sums[i] / total;
        shapes.push_back({Shape::Rect, QRectF(left + i * pitch - 7, top, 14, height), 0, {}, QColor(0x00, 0x80, 0xFF), {}, 0});
    }

    // Baseline and the intensity line.
    shapes.push_back({Shape::Polyline, {}, 0, {QPointF(32, 218), QPointF(224, 218)}, {}, QColor(0x60, 0x60, 0x60), 4});
    QVector<QPointF> line;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const double f = double(i) / steps;
        line.push_back(QPointF(36 + 184 * f, 210 - 84 * StormShape(f)));
    }
    shapes.push_back({Shape::Polyline, {}, 0, line, {}, QColor(0xFF, 0x80, 0x00), 10});
    return shapes;
}

QString Number(double value)
{
    return QString::number(value, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

} // namespace

QImage PaintAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Canvas, size / Canvas);
    for (const Shape &shape : Shapes()) {
        painter.setBrush(shape.fill.isValid() ? QBrush(shape.fill) : Qt::NoBrush);
        if (shape.stroke.isValid())
            painter.setPen(QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            painter.setPen(Qt::NoPen);
        switch (shape.kind) {
        case Shape::RoundRect: painter.drawRoundedRect(shape.rect, shape.radius, shape.radius); break;
        case Shape::Rect: painter.drawRect(shape.rect); break;
        case Shape::Polyline: painter.drawPolyline(shape.points.constData(), int(shape.points.size())); break;
        }
    }
    return image;
}

QByteArray AppIconSvg()
{
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n");
    for (const Shape &shape : Shapes()) {
        const QString fill = shape.fill.isValid() ? shape.fill.name() : QStringLiteral("none");
        const QString stroke = shape.stroke.isValid()
            ? QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linecap=\"round\" stroke-linejoin=\"round\"")
                  .arg(shape.stroke.name(), Number(shape.strokeWidth))
            : QString();
        switch (shape.kind) {
        case Shape::RoundRect:
        case Shape::Rect:
            svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\"%7/>\n")
                       .arg(Number(shape.rect.x()), Number(shape.rect.y()), Number(shape.rect.width()),
                            Number(shape.rect.height()), Number(shape.radius), fill, stroke);
            break;
        case Shape::Polyline: {
            QStringList points;
            for (const QPointF &p : shape.points)
                points << Number(p.x()) + QLatin1Char(',') + Number(p.y());
            svg += QStringLiteral("  <polyline points=\"%1\" fill=\"%2\"%3/>\n").arg(points.join(QLatin1Char(' ')), fill, stroke);
            break;
        }
        }
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(PaintAppIcon(size)));
    return icon;
}
