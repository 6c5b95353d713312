// Draws the five pictures of the workbook's guide sheet ("如何添加多个曲线"): schematic
// drawings of the five steps of adding a second storm to the chart, in the flat style of
// a sketch, not pictures of any real program. The results are kept in the template tree
// (src/templates/ExcelPicData/xl/media/image1.png ... image5.png); run this again after
// changing a drawing:
//
//     tavrel-guide-pictures src/templates/ExcelPicData/xl/media
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Drawn at twice the size they are shown at, so they stay sharp when zoomed.
constexpr qreal Scale = 2;
const QColor Ink(0x33, 0x33, 0x33);
const QColor Frame(0x9a, 0xa5, 0xb1);
const QColor Face(0xf4, 0xf6, 0xf8);
const QColor Accent(0xd3, 0x2f, 0x2f);   // what to click
const QColor Selection(0xcc, 0xe4, 0xf7);
const QColor Bars(0x5b, 0x9b, 0xd5);
const QColor Line(0xc0, 0x39, 0x2b);

QFont UiFont(qreal pixels, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(qRound(pixels));
    font.setBold(bold);
    return font;
}

class Sketch {
public:
    Sketch(int width, int height) : image(qRound(width * Scale), qRound(height * Scale), QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(Scale, Scale);
        painter.setPen(QPen(Frame, 1));
        painter.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
    }

    bool save(const QString &path)
    {
        painter.end();
        return image.save(path, "PNG");
    }

    void text(const QRectF &box, const QString &s, qreal size = 13, int flags = Qt::AlignLeft | Qt::AlignVCenter,
              const QColor &color = Ink, bool bold = false)
    {
        painter.setFont(UiFont(size, bold));
        painter.setPen(color);
        painter.drawText(box, flags, s);
    }

    // A window or dialog with a title bar.
    void window(const QRectF &box, const QString &title)
    {
        painter.setPen(QPen(Frame, 1));
        painter.setBrush(Face);
        painter.drawRoundedRect(box, 4, 4);
        painter.setBrush(QColor(0xe1, 0xe6, 0xec));
        painter.drawRoundedRect(QRectF(box.left(), box.top(), box.width(), 26), 4, 4);
        text(QRectF(box.left() + 10, box.top(), box.width() - 40, 26), title, 13, Qt::AlignLeft | Qt::AlignVCenter, Ink, true);
        text(QRectF(box.right() - 26, box.top(), 20, 26), QStringLiteral("×"), 15, Qt::AlignCenter);
    }

    void button(const QRectF &box, const QString &caption, bool marked = false)
    {
        painter.setPen(QPen(marked ? Accent : Frame, marked ? 2 : 1));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(box, 3, 3);
        text(box, caption, 13, Qt::AlignCenter, marked ? Accent : Ink, marked);
    }

    void field(const QRectF &box, const QString &content)
    {
        painter.setPen(QPen(Frame, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(box);
        text(box.adjusted(6, 0, -4, 0), content, 13);
    }

    // A red ring around what is to be clicked.
    void mark(const QRectF &box)
    {
        painter.setPen(QPen(Accent, 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(-4, -4, 4, 4), 6, 6);
    }

    // A numbered circle that ties a place in the picture to the text beside it.
    void badge(const QPointF &centre, int number)
    {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Accent);
        painter.drawEllipse(centre, 11, 11);
        text(QRectF(centre.x() - 11, centre.y() - 11, 22, 22), QString::number(number), 13, Qt::AlignCenter, Qt::white, true);
    }

    void arrow(const QPointF &from, const QPointF &to)
    {
        painter.setPen(QPen(Accent, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(from, to);
        const qreal angle = std::atan2(to.y() - from.y(), to.x() - from.x());
        QPainterPath head;
        head.moveTo(to);
        head.lineTo(to - QPointF(std::cos(angle - 0.45) * 12, std::sin(angle - 0.45) * 12));
        head.lineTo(to - QPointF(std::cos(angle + 0.45) * 12, std::sin(angle + 0.45) * 12));
        head.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(Accent);
        painter.drawPath(head);
    }

    // The mouse pointer with its tip at `tip`; `right` shows the right button pressed.
    void pointer(const QPointF &tip, bool right = false)
    {
        QPainterPath shape;
        shape.moveTo(tip);
        shape.lineTo(tip + QPointF(0, 22));
        shape.lineTo(tip + QPointF(5.5, 17));
        shape.lineTo(tip + QPointF(9.5, 26));
        shape.lineTo(tip + QPointF(13, 24.5));
        shape.lineTo(tip + QPointF(9, 15.5));
        shape.lineTo(tip + QPointF(16, 15.5));
        shape.closeSubpath();
        painter.setPen(QPen(Qt::black, 1.2));
        painter.setBrush(Qt::white);
        painter.drawPath(shape);
        if (right)
            text(QRectF(tip.x() + 18, tip.y() + 14, 60, 20), QStringLiteral("右键"), 12, Qt::AlignLeft | Qt::AlignVCenter, Accent, true);
    }

    // A small combined chart: columns hanging from the top, a line rising from the bottom.
    void chart(const QRectF &box, bool withBars = true)
    {
        painter.setPen(QPen(Frame, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(box);
        const QRectF plot = box.adjusted(30, 14, -30, -30);
        painter.setPen(QPen(QColor(0xe3, 0xe3, 0xe3), 1));
        for (int k = 1; k < 4; ++k)
            painter.drawLine(QPointF(plot.left(), plot.top() + plot.height() * k / 4),
                             QPointF(plot.right(), plot.top() + plot.height() * k / 4));
        const int n = 24;
        const qreal step = plot.width() / n;
        const qreal peak = 0.4 * n;
        if (withBars) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Bars);
            for (int i = 0; i < n; ++i) {
                const qreal share = 1 / (1 + std::exp(-(i - peak) / 2.2));
                painter.drawRect(QRectF(plot.left() + i * step + step * 0.2, plot.top(), step * 0.6, plot.height() * 0.45 * share));
            }
        }
        QPainterPath curve;
        for (int i = 0; i < n; ++i) {
            const qreal height = 0.08 + 0.75 / (1 + std::pow(std::abs(i - peak) / 1.6, 1.6));
            const QPointF p(plot.left() + (i + 0.5) * step, plot.bottom() - plot.height() * height);
            if (i == 0)
                curve.moveTo(p);
            else
                curve.lineTo(p);
        }
        painter.setPen(QPen(Line, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(curve);
        painter.setPen(QPen(Ink, 1));
        painter.drawLine(plot.bottomLeft(), plot.bottomRight());
        painter.drawLine(plot.topLeft(), plot.bottomLeft());
        painter.drawLine(plot.topRight(), plot.bottomRight());
        // legend
        const qreal y = box.bottom() - 14;
        painter.setPen(QPen(Line, 2));
        painter.drawLine(QPointF(box.center().x() - 120, y), QPointF(box.center().x() - 100, y));
        text(QRectF(box.center().x() - 96, y - 9, 120, 18), QStringLiteral("降雨强度(mm/min)"), 11);
        if (withBars) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Bars);
            painter.drawRect(QRectF(box.center().x() + 20, y - 5, 12, 10));
            text(QRectF(box.center().x() + 36, y - 9, 110, 18), QStringLiteral("降雨总量(mm)"), 11);
        }
    }

    // A piece of a sheet: column letters, row numbers and the given cell texts.
    void sheet(const QRectF &box, const QList<QStringList> &cells, const QList<qreal> &widths, int selectedColumn = -1)
    {
        const qreal rowHeight = 22;
        const qreal numbers = 30;
        painter.setPen(QPen(QColor(0xd0, 0xd4, 0xd9), 1));
        painter.setBrush(QColor(0xee, 0xf0, 0xf3));
        painter.drawRect(QRectF(box.left(), box.top(), box.width(), rowHeight));
        painter.drawRect(QRectF(box.left(), box.top(), numbers, box.height()));
        qreal x = box.left() + numbers;
        for (int c = 0; c < widths.size(); ++c) {
            text(QRectF(x, box.top(), widths[c], rowHeight), QString(QChar('A' + c)), 12, Qt::AlignCenter);
            x += widths[c];
        }
        const int rows = int((box.height() - rowHeight) / rowHeight);
        for (int r = 0; r < rows; ++r) {
            const qreal y = box.top() + rowHeight * (r + 1);
            text(QRectF(box.left(), y, numbers, rowHeight), QString::number(r + 1), 12, Qt::AlignCenter);
            qreal cx = box.left() + numbers;
            for (int c = 0; c < widths.size(); ++c) {
                const QRectF cell(cx, y, widths[c], rowHeight);
                painter.setPen(QPen(QColor(0xd0, 0xd4, 0xd9), 1));
                painter.setBrush(c == selectedColumn && r > 0 ? Selection : QColor(Qt::white));
                painter.drawRect(cell);
                if (r < cells.size() && c < cells[r].size())
                    text(cell.adjusted(4, 0, -4, 0), cells[r][c], 12,
                         r == 0 || c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
                cx += widths[c];
            }
        }
    }

    // The sheet tabs at the bottom of a workbook window, `active` raised.
    void tabs(const QPointF &at, int active, bool markActive = false)
    {
        const QStringList names = {QStringLiteral("曲线图"), QStringLiteral("雨型数据1"), QStringLiteral("雨型数据2")};
        qreal x = at.x();
        for (int k = 0; k < names.size(); ++k) {
            const QRectF tab(x, at.y(), k == 0 ? 70 : 90, 24);
            painter.setPen(QPen(Frame, 1));
            painter.setBrush(k == active ? QColor(Qt::white) : QColor(0xe6, 0xe9, 0xed));
            painter.drawRect(tab);
            text(tab, names[k], 12, Qt::AlignCenter, Ink, k == active);
            if (k == active && markActive)
                mark(tab);
            x += tab.width();
        }
    }

    // The dialog for choosing a chart's data, with the list of series.
    void seriesDialog(const QRectF &box, const QStringList &series, int selected, const QString &marked)
    {
        window(box, QStringLiteral("选择数据源"));
        text(QRectF(box.left() + 20, box.top() + 40, 300, 22), QStringLiteral("图表数据区域："), 13);
        field(QRectF(box.left() + 130, box.top() + 40, box.width() - 150, 24), QStringLiteral("=雨型数据1!$A$1:$C$122"));
        text(QRectF(box.left() + 20, box.top() + 82, 300, 22), QStringLiteral("图例项(系列)"), 13, Qt::AlignLeft | Qt::AlignVCenter, Ink, true);
        const QStringList captions = {QStringLiteral("添加"), QStringLiteral("编辑"), QStringLiteral("删除")};
        for (int k = 0; k < captions.size(); ++k) {
            const QRectF b(box.left() + 20 + k * 86, box.top() + 110, 76, 28);
            button(b, captions[k], captions[k] == marked);
            if (captions[k] == marked)
                mark(b);
        }
        const QRectF list(box.left() + 20, box.top() + 148, 250, box.height() - 200);
        painter.setPen(QPen(Frame, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(list);
        for (int k = 0; k < series.size(); ++k) {
            const QRectF item(list.left() + 2, list.top() + 4 + k * 26, list.width() - 4, 24);
            if (k == selected) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(Selection);
                painter.drawRect(item);
            }
            text(item.adjusted(8, 0, 0, 0), QStringLiteral("☑ ") + series[k], 13);
        }
        text(QRectF(box.left() + 300, box.top() + 82, 200, 22), QStringLiteral("水平(分类)轴标签"), 13, Qt::AlignLeft | Qt::AlignVCenter, Ink, true);
        const QRectF axis(box.left() + 300, box.top() + 148, box.width() - 320, box.height() - 200);
        painter.setPen(QPen(Frame, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(axis);
        const int fitting = std::min(4, int((axis.height() - 8) / 26));
        for (int k = 0; k < fitting; ++k)
            text(QRectF(axis.left() + 10, axis.top() + 4 + k * 26, axis.width() - 20, 24),
                 QStringLiteral("☑ ") + QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0')), 13);
        button(QRectF(box.right() - 190, box.bottom() - 40, 80, 28), QStringLiteral("确定"));
        button(QRectF(box.right() - 100, box.bottom() - 40, 80, 28), QStringLiteral("取消"));
    }

    QPainter painter;

private:
    QImage image;
};

// Step 1: paste the second storm into the sheet "雨型数据2", laid out like "雨型数据1".
bool StepPaste(const QString &path)
{
    Sketch s(520, 190);
    s.window(QRectF(10, 10, 500, 170), QStringLiteral("工作簿"));
    const QList<QStringList> cells = {
        {QStringLiteral("时间(min)"), QStringLiteral("降雨强度(mm/min)"), QStringLiteral("降雨总量(mm)")},
        {QStringLiteral("00"), QStringLiteral("0.2170"), QStringLiteral("0.2170")},
        {QStringLiteral("01"), QStringLiteral("0.2205"), QStringLiteral("0.4375")},
        {QStringLiteral("02"), QStringLiteral("0.2242"), QStringLiteral("0.6617")},
    };
    s.sheet(QRectF(18, 40, 330, 110), cells, {80, 120, 100});
    s.mark(QRectF(48, 62, 80, 22));
    s.tabs(QPointF(18, 150), 2, true);
    s.badge(QPointF(380, 56), 1);
    s.text(QRectF(396, 42, 120, 28), QStringLiteral("复制雨型数据"), 12);
    s.badge(QPointF(380, 96), 2);
    s.text(QRectF(396, 78, 120, 40), QStringLiteral("在雨型数据2的A1\n单元格粘贴(Ctrl+V)"), 12);
    s.badge(QPointF(380, 140), 3);
    s.text(QRectF(396, 126, 120, 28), QStringLiteral("格式同雨型数据1"), 12);
    return s.save(path);
}

// Step 2: right-click the line and choose "选择数据".
bool StepContextMenu(const QString &path)
{
    Sketch s(520, 280);
    s.chart(QRectF(14, 14, 330, 250));
    const QPointF click(180, 140);
    const QRectF menu(click.x() + 20, click.y() - 10, 160, 130);
    s.painter.setPen(QPen(Frame, 1));
    s.painter.setBrush(Qt::white);
    s.painter.drawRect(menu);
    const QStringList items = {QStringLiteral("删除"), QStringLiteral("更改图表类型..."), QStringLiteral("选择数据..."),
                               QStringLiteral("设置数据系列格式...")};
    for (int k = 0; k < items.size(); ++k) {
        const QRectF item(menu.left() + 2, menu.top() + 6 + k * 30, menu.width() - 4, 26);
        if (k == 2) {
            s.painter.setPen(Qt::NoPen);
            s.painter.setBrush(Selection);
            s.painter.drawRect(item);
            s.mark(item);
        }
        s.text(item.adjusted(12, 0, 0, 0), items[k], 13, Qt::AlignLeft | Qt::AlignVCenter, k == 2 ? Accent : Ink, k == 2);
    }
    s.pointer(click, true);
    s.badge(QPointF(click.x() - 16, click.y() - 16), 1);
    s.badge(QPointF(menu.right() + 16, menu.top() + 6 + 2 * 30 + 13), 2);
    s.text(QRectF(366, 230, 150, 40), QStringLiteral("右键点折线，\n左键点“选择数据”"), 12);
    return s.save(path);
}

// Step 3: select "降雨总量(mm)" and delete it.
bool StepDelete(const QString &path)
{
    Sketch s(520, 316);
    s.seriesDialog(QRectF(10, 10, 500, 296), {QStringLiteral("降雨强度(mm/min)"), QStringLiteral("降雨总量(mm)")}, 1,
                   QStringLiteral("删除"));
    s.mark(QRectF(32, 184, 246, 24));
    s.badge(QPointF(290, 196), 1);
    s.badge(QPointF(228, 104), 2);
    s.pointer(QPointF(222, 134));
    return s.save(path);
}

// Step 4: press "添加".
bool StepAdd(const QString &path)
{
    Sketch s(520, 280);
    s.seriesDialog(QRectF(10, 10, 500, 260), {QStringLiteral("降雨强度(mm/min)")}, -1, QStringLiteral("添加"));
    s.badge(QPointF(14, 134), 1);
    s.pointer(QPointF(58, 132));
    return s.save(path);
}

// Step 5: name the series and pick its values in "雨型数据2".
bool StepEditSeries(const QString &path)
{
    Sketch s(520, 300);
    const QRectF dialog(10, 10, 330, 170);
    s.window(dialog, QStringLiteral("编辑数据系列"));
    s.text(QRectF(24, 44, 200, 22), QStringLiteral("系列名称(N)："), 13);
    s.field(QRectF(24, 68, 250, 24), QStringLiteral("雨型数据2"));
    s.badge(QPointF(300, 80), 1);
    s.text(QRectF(24, 100, 200, 22), QStringLiteral("系列值(V)："), 13);
    s.field(QRectF(24, 124, 250, 24), QStringLiteral("={1}"));
    const QRectF picker(250, 126, 22, 20);
    s.painter.setPen(QPen(Frame, 1));
    s.painter.setBrush(QColor(0xe6, 0xe9, 0xed));
    s.painter.drawRect(picker);
    s.painter.setPen(QPen(Accent, 1.5));
    s.painter.drawRect(picker.adjusted(5, 4, -5, -8));
    s.painter.drawLine(QPointF(picker.left() + 8, picker.bottom() - 4), QPointF(picker.right() - 4, picker.bottom() - 4));
    s.mark(picker);
    s.badge(QPointF(300, 136), 2);
    s.pointer(picker.center());
    s.button(QRectF(24, 154, 76, 22), QStringLiteral("确定"));
    s.button(QRectF(110, 154, 76, 22), QStringLiteral("取消"));

    const QList<QStringList> cells = {
        {QStringLiteral("时间(min)"), QStringLiteral("降雨强度(mm/min)"), QStringLiteral("降雨总量(mm)")},
        {QStringLiteral("00"), QStringLiteral("0.2170"), QStringLiteral("0.2170")},
        {QStringLiteral("01"), QStringLiteral("0.2205"), QStringLiteral("0.4375")},
    };
    s.sheet(QRectF(14, 186, 330, 88), cells, {80, 120, 100}, 1);
    s.tabs(QPointF(14, 274), 2);
    s.arrow(QPointF(262, 150), QPointF(200, 236));
    s.badge(QPointF(366, 248), 3);
    s.text(QRectF(382, 224, 130, 50), QStringLiteral("选中降雨强度一列\n(B2至最后一行)"), 12);
    s.text(QRectF(356, 20, 160, 150),
           QStringLiteral("①填写系列名称\n②点击“系列值”\n   右侧的按钮\n③在雨型数据2中\n   选择数据，\n   然后点击“确定”"),
           12, Qt::AlignLeft | Qt::AlignVCenter);
    return s.save(path);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrel-guide-pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const bool ok = StepPaste(folder + QStringLiteral("image1.png")) && StepContextMenu(folder + QStringLiteral("image2.png"))
        && StepDelete(folder + QStringLiteral("image3.png")) && StepAdd(folder + QStringLiteral("image4.png"))
        && StepEditSeries(folder + QStringLiteral("image5.png"));
    if (!ok) {
        std::fprintf(stderr, "tavrel-guide-pictures: cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
