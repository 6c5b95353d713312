// Builds the user manual and the desktop icons during the build.
//
//   tavrel-docs manual SOURCE.html OUTPUT.pdf   the manual, with screenshots of the real
//                                              windows and tavrel-cli's real output
//   tavrel-docs icons FOLDER                   FOLDER/scalable/apps/tavrel.svg and
//                                              FOLDER/<n>x<n>/apps/tavrel.png
//   tavrel-docs manpage PROGRAM zh_CN|en PAGE SUMMARY [SEE-ALSO...]
//                                              PROGRAM's manual page from its --help
//
// Everything is drawn offscreen with the default settings, so the pictures never depend on
// the machine that builds them.
#include "ManPage.h"
#include "cli/CliCharts.h"
#include "cli/CliTool.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"
#include "core/Version.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/AppIcon.h"
#include "ui/FormAbout.h"
#include "ui/FormCompileFormula.h"
#include "ui/FormTavrel.h"
#include "ui/StormChart.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>

namespace {

[[noreturn]] void Fail(const QString &message)
{
    std::fprintf(stderr, "tavrel-docs: %s\n", message.toLocal8Bit().constData());
    std::exit(1);
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

// ---- manual pages ----

int WriteManPage(const QStringList &args)
{
    QProcess program;
    program.start(args[0], {QStringLiteral("--help")});
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0)
        Fail(QStringLiteral("%1 --help failed: %2").arg(args[0], QString::fromLocal8Bit(program.readAllStandardError())));
    const QString help = QString::fromUtf8(program.readAllStandardOutput());
    const ManPageInfo info{QFileInfo(args[0]).fileName(), ProgramVersion(), args[3], args.mid(4)};
    const ManLanguage language = args[1] == QLatin1String("en") ? ManLanguage::English : ManLanguage::Chinese;
    WriteFile(args[2], ManPage(help, info, language).toUtf8());
    return 0;
}

// ---- icons ----

int WriteIcons(const QString &folder)
{
    QDir().mkpath(folder + "/scalable/apps");
    WriteFile(folder + "/scalable/apps/tavrel.svg", AppIconSvg());
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        QDir().mkpath(dir);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        PaintAppIcon(size).save(&buffer, "PNG");
        WriteFile(dir + "/tavrel.png", png);
    }
    return 0;
}

// ---- screenshots ----

struct Shot {
    QImage image;
    QSize logical;      // size in window pixels (the picture itself has twice as many)
};

Shot Grab(QWidget *widget)
{
    QApplication::processEvents();
    const QPixmap pixmap = widget->grab();
    return {pixmap.toImage(), widget->size()};
}

Shot GrabMenu(QMenu *menu)
{
    menu->ensurePolished();
    menu->adjustSize();
    return Grab(menu);
}

// Twenty years of a 5-minute gauge listing only its rain: two dozen storms a year of half an
// hour to three hours, peaked a little before their middle, from a fixed seed.
QString WriteSampleRecord(const QString &folder)
{
    std::mt19937 random(29);
    const auto uniform = [&random](double low, double high) { return low + (high - low) * (random() % 10000) / 10000.0; };
    QByteArray text = "时间,雨量(mm)\n";
    for (int year = 2001; year <= 2020; ++year) {
        for (int storm = 0; storm < 24; ++storm) {
            const QDateTime start(QDate(year, 1, 1).addDays(10 + storm * 14 + int(random() % 10)), QTime(int(random() % 18), 0));
            const int intervals = 6 + int(random() % 31);
            const double peak = uniform(0.3, 1.6) * uniform(1, 4.5);
            const int peakAt = int(intervals * uniform(0.25, 0.5));
            for (int k = 0; k < intervals; ++k) {
                const double depth = peak / (1 + 0.35 * std::abs(k - peakAt)) * uniform(0.7, 1.3);
                text += start.addSecs(300 * k).toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1() + ',' +
                        QByteArray::number(depth, 'f', 1) + '\n';
            }
        }
    }
    const QString path = folder + QStringLiteral("/rain-record.csv");
    WriteFile(path, text);
    return path;
}

std::map<QString, Shot> TakeScreenshots()
{
    std::map<QString, Shot> shots;
    ScriptedPlatform platform;
    platform.appData = qEnvironmentVariable("XDG_CONFIG_HOME");
    TOptions options;
    TFormTavrel window(platform, options);
    window.show();
    QApplication::processEvents();
    window.chart()->replot();
    shots["main"] = Grab(&window);

    for (QAction *action : window.menuBar()->actions()) {
        QMenu *menu = action->menu();
        if (!menu)
            continue;
        if (action->text().startsWith(QStringLiteral("文件")))
            shots["menu-file"] = GrabMenu(menu);
        else if (action->text().startsWith(QStringLiteral("数据"))) {
            shots["menu-data"] = GrabMenu(menu);
            for (QAction *item : menu->actions()) {
                if (item->menu() && item->text() == QStringLiteral("保存雨型图片"))
                    shots["menu-pictures"] = GrabMenu(item->menu());
                if (item->menu() && item->text() == QStringLiteral("保存雨型数据"))
                    shots["menu-tables"] = GrabMenu(item->menu());
            }
        } else if (action->text().startsWith(QStringLiteral("帮助")))
            shots["menu-help"] = GrabMenu(menu);
    }
    if (auto *popup = window.findChild<QMenu *>(QStringLiteral("PopupMenu_Picture")))
        shots["popup-picture"] = GrabMenu(popup);
    if (auto *popup = window.findChild<QMenu *>(QStringLiteral("PopupMenu_Data")))
        shots["popup-data"] = GrabMenu(popup);

    // The dialogs as the commands open them.
    const QTemporaryDir records;
    platform.modalScripts.push_back([&](QDialog *dialog) {
        shots["newstorm"] = Grab(dialog);
        // The record's formula, compiled in its own dialog opened from this one.
        platform.openAnswers.push_back({true, WriteSampleRecord(records.path()), 0});
        platform.modalScripts.push_back([&](QDialog *compile) {
            compile->resize(900, 660);
            compile->findChild<QPushButton *>(QStringLiteral("ButtonOpen"))->click();
            QElapsedTimer waited;
            waited.start();
            while (!static_cast<TFormCompileFormula *>(compile)->formula() && waited.elapsed() < 60000) {
                QApplication::processEvents();
                QThread::msleep(10);
            }
            if (!static_cast<TFormCompileFormula *>(compile)->formula())
                Fail(QStringLiteral("the sample record compiled no formula"));
            shots["compile"] = Grab(compile);
            return int(QDialog::Rejected);
        });
        dialog->findChild<QPushButton *>(QStringLiteral("ButtonCompileFormula"))->click();
        return int(QDialog::Rejected);
    });
    window.ButtonNewRainModelClick();
    platform.modalScripts.push_back([&](QDialog *dialog) {
        shots["options"] = Grab(dialog);
        return int(QDialog::Rejected);
    });
    window.Menu_OptionsClick();
    platform.modalScripts.push_back([&](QDialog *dialog) {
        shots["about"] = Grab(dialog);
        return int(QDialog::Rejected);
    });
    window.Menu_AboutClick();

    // Hours and minutes, mm/h, a step of 5 minutes and a three-hour storm.
    options.Int_TimeForamtidx = 0;
    options.Int_StormUnitidx = 0;
    window.Model().Storm_Time = 180;
    window.Model().Storm_Step = 5;
    window.RefreshRainModel();
    window.chart()->replot();
    shots["main-hm"] = Grab(&window);

    for (const auto &[name, shot] : shots)
        if (shot.image.isNull())
            Fail(QStringLiteral("screenshot %1 is empty").arg(name));
    return shots;
}

// ---- text pieces taken from the program ----

QString Escape(const QString &text)
{
    return text.toHtmlEscaped();
}

QString CliRun(const QString &argumentLine)
{
    const QStringList arguments = argumentLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    CliStreams streams;
    const int code = RunCli(arguments, streams, DrawStormChart);
    if (code != 0)
        Fail(QStringLiteral("tavrel-cli %1 failed: %2").arg(argumentLine, streams.err));
    QString text = QStringLiteral("$ tavrel-cli %1\n%2").arg(argumentLine, streams.out);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return QStringLiteral("<pre class=\"code\">%1</pre>").arg(Escape(text));
}

QString DefaultModelFile()
{
    ScriptedPlatform platform;
    platform.appData = qEnvironmentVariable("XDG_CONFIG_HOME");
    TOptions options;
    TFormTavrel window(platform, options);
    return QStringLiteral("<pre class=\"code\">%1</pre>").arg(Escape(RainModelLines(window.Model()).join(QLatin1Char('\n'))));
}

// ---- the document ----

// Wide pictures are scaled to the text width; the pictures hold twice the pixels they
// take on the page, so they stay sharp when printed.
constexpr int TextWidthPx = 640;

QString ImageTag(const QString &name, const Shot &shot)
{
    QSize size = shot.logical;
    if (size.width() > TextWidthPx)
        size = QSize(TextWidthPx, shot.logical.height() * TextWidthPx / shot.logical.width());
    return QStringLiteral("<p class=\"shot\"><img src=\"shot:%1\" width=\"%2\" height=\"%3\"></p>")
        .arg(name).arg(size.width()).arg(size.height());
}

struct Heading {
    int level;
    QString text;
    int page;
};

QString TocHtml(const QList<Heading> &headings)
{
    QString html = QStringLiteral("<table class=\"toc\" width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">");
    for (const Heading &h : headings) {
        html += QStringLiteral("<tr><td class=\"toc%1\" style=\"padding-left: %4px\">%2</td>"
                               "<td class=\"toc%1\" align=\"right\">%3</td></tr>")
                    .arg(h.level)
                    .arg(Escape(h.text))
                    .arg(h.page)
                    .arg(h.level > 1 ? 24 : 0);
    }
    return html + QStringLiteral("</table>");
}

class Manual {
public:
    Manual(QString source, std::map<QString, Shot> shots) : source(std::move(source)), shots(std::move(shots)) {}

    void write(const QString &path)
    {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        // Page numbers need the layout, and the contents need the page numbers: lay out until
        // the numbers stand still (the second round normally settles it).
        QList<Heading> headings;
        for (int round = 0; round < 4; ++round) {
            pdf.clear();
            buffer.seek(0);
            const QList<Heading> found = render(&buffer, headings);
            if (found.size() == headings.size()
                && std::equal(found.begin(), found.end(), headings.begin(),
                              [](const Heading &a, const Heading &b) { return a.text == b.text && a.page == b.page; }))
                break;
            headings = found;
        }
        buffer.close();
        WriteFile(path, pdf);
    }

private:
    QString html(const QList<Heading> &headings) const
    {
        QString text = source;
        text.replace(QStringLiteral("<!--version-->"), ProgramVersion());
        text.replace(QStringLiteral("<!--toc-->"), TocHtml(headings));
        text.replace(QStringLiteral("<!--file:model-->"), DefaultModelFile());
        static const QRegularExpression shot(QStringLiteral("<!--shot:([a-z-]+)-->"));
        static const QRegularExpression cli(QStringLiteral("<!--cli:([^>]*)-->"));
        QString out;
        qsizetype last = 0;
        for (auto it = shot.globalMatch(text); it.hasNext();) {
            const auto match = it.next();
            const auto found = shots.find(match.captured(1));
            if (found == shots.end())
                Fail(QStringLiteral("no screenshot %1").arg(match.captured(1)));
            out += text.mid(last, match.capturedStart() - last) + ImageTag(found->first, found->second);
            last = match.capturedEnd();
        }
        text = out + text.mid(last);
        out.clear();
        last = 0;
        for (auto it = cli.globalMatch(text); it.hasNext();) {
            const auto match = it.next();
            out += text.mid(last, match.capturedStart() - last) + CliRun(match.captured(1).trimmed());
            last = match.capturedEnd();
        }
        return out + text.mid(last);
    }

    QList<Heading> render(QIODevice *device, const QList<Heading> &headings) const
    {
        QPdfWriter writer(device);
        writer.setTitle(QStringLiteral("Tavrel 芝加哥雨型 软件说明书"));
        writer.setCreator(QStringLiteral("Tavrel %1").arg(ProgramVersion()));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 18, 20, 14),
                                         QPageLayout::Millimeter));

        QTextDocument document;
        document.documentLayout()->setPaintDevice(&writer);
        QFont font;
        // A sans-serif Chinese face like the window's. Not Noto Sans CJK itself: its ideographs
        // share glyphs with the Kangxi radicals, and the PDF's text layer then turns 雨 into ⾬,
        // so searching and copying the manual would find the wrong characters.
        font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"),
                          QStringLiteral("AR PL UMing CN")});
        font.setPointSizeF(10.5);
        document.setDefaultFont(font);
        for (const auto &[name, shot] : shots)
            document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("shot:") + name), shot.image);
        document.setHtml(html(headings));

        const QRectF paper = writer.pageLayout().paintRectPixels(writer.resolution());
        const double footer = writer.resolution() * 10 / 25.4;   // 10 mm for the page number
        const QSizeF page(paper.width(), paper.height() - footer);
        document.setPageSize(page);

        QPainter painter(&writer);
        const int pages = document.pageCount();
        QFont small = font;
        small.setPointSizeF(9);
        for (int p = 0; p < pages; ++p) {
            if (p > 0)
                writer.newPage();
            painter.save();
            painter.translate(0, -p * page.height());
            document.drawContents(&painter, QRectF(QPointF(0, p * page.height()), page));
            painter.restore();
            if (p > 0) {
                // The cover has no number; the footer carries the title and the page.
                painter.setFont(small);
                painter.setPen(QColor(0x55, 0x55, 0x55));
                const QRectF band(0, page.height() + footer * 0.3, page.width(), footer * 0.7);
                painter.drawLine(QPointF(0, band.top()), QPointF(page.width(), band.top()));
                painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter,
                                 QStringLiteral("Tavrel 芝加哥雨型 Ver%1 软件说明书").arg(ProgramVersion()));
                painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter, QString::number(p + 1));
            }
        }
        painter.end();

        QList<Heading> found;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const int level = block.blockFormat().headingLevel();
            // The contents do not list themselves.
            if (level < 1 || level > 2 || block.text().trimmed() == QStringLiteral("目录"))
                continue;
            const QRectF box = document.documentLayout()->blockBoundingRect(block);
            found.push_back({level, block.text().trimmed(), int(box.top() / page.height()) + 1});
        }
        return found;
    }

    QString source;
    std::map<QString, Shot> shots;
};

} // namespace

// Qt's notes about the offscreen platform are no news in a build log.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg)
        std::abort();
}

int main(int argc, char **argv)
{
    qInstallMessageHandler(QuietMessages);
    // Drawn offscreen at twice the window resolution, with the default settings of a user
    // who has never run the program.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    QDir().mkpath(home.path() + "/config");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());

    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("icons"))
        return WriteIcons(args[2]);
    if (args.size() >= 6 && args[1] == QLatin1String("manpage"))
        return WriteManPage(args.mid(2));
    if (args.size() != 4 || args[1] != QLatin1String("manual"))
        Fail(QStringLiteral("usage: tavrel-docs manual SOURCE.html OUTPUT.pdf | tavrel-docs icons FOLDER | tavrel-docs manpage PROGRAM LANGUAGE PAGE SUMMARY [SEE-ALSO...]"));

    QString source = QString::fromUtf8(ReadWholeFile(args[2]));
    Manual manual(source, TakeScreenshots());
    manual.write(args[3]);
    return 0;
}
