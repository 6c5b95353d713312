#include "RainModelFile.h"
#include "Failure.h"
#include "Numbers.h"
#include "TextFile.h"

#include <QFileInfo>
#include <optional>

const QString RainModelSign = QStringLiteral("访问www.orvanta.example获取更多实用工具~");
const QString WrongSignMessage = QStringLiteral("该文件不包含正确的数据格式，请确认后重试~");

QStringList RainModelLines(const TExpressionObject &m)
{
    return {
        QStringLiteral("SIGN=") + RainModelSign,
        QStringLiteral("F_type=") + QString::number(m.F_type),
        QStringLiteral("a1_167=") + FormatGeneral(m.a1_167),
        QStringLiteral("a1=") + FormatGeneral(m.a1),
        QStringLiteral("c=") + FormatGeneral(m.c),
        QStringLiteral("b=") + FormatGeneral(m.b),
        QStringLiteral("n=") + FormatGeneral(m.n),
        QStringLiteral("LG_LN=") + QString::number(m.LG_LN),
        QStringLiteral("重现期=") + FormatGeneral(m.Storm_RepeatYear),
        QStringLiteral("降雨历时=") + FormatGeneral(m.Storm_Time),
        QStringLiteral("峰值比例=") + FormatGeneral(m.Storm_Percent),
        QStringLiteral("计算步长=") + QString::number(m.Storm_Step),
    };
}

void WriteRainModelFile(const QString &path, const TExpressionObject &model)
{
    WriteFileAtomically(path, GbkLines(RainModelLines(model)));
}

namespace {

class KeyedLines {
public:
    explicit KeyedLines(const QString &text) : lines(SplitLines(text)) {}

    // The value of the first line whose key matches, letter case aside.
    std::optional<QString> find(const QString &key) const
    {
        for (const QString &line : lines) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq <= 0)
                continue;
            if (QStringView(line).left(eq).compare(key, Qt::CaseInsensitive) == 0)
                return line.mid(eq + 1);
        }
        return std::nullopt;
    }

    QString required(const QString &key) const
    {
        auto value = find(key);
        if (!value)
            throw TavrelError(QStringLiteral("文件中缺少“%1”一项").arg(key));
        return *value;
    }

    double number(const QString &key) const
    {
        const QString text = required(key);
        double value = 0;
        if (!TryParseNumber(text, value))
            throw TavrelError(QStringLiteral("“%1”的值“%2”不是有效的数字").arg(key, text));
        return value;
    }

    int whole(const QString &key) const
    {
        const QString text = required(key);
        int value = 0;
        if (!TryParseInteger(text, value))
            throw TavrelError(QStringLiteral("“%1”的值“%2”不是有效的整数").arg(key, text));
        return value;
    }

private:
    QStringList lines;
};

} // namespace

RainModelRead ParseRainModelText(const QString &text, const TExpressionObject &current)
{
    RainModelRead read;
    const KeyedLines lines(text);
    const auto sign = lines.find(QStringLiteral("SIGN"));
    if (!sign || *sign != RainModelSign) {
        read.status = RainModelRead::WrongSign;
        read.message = WrongSignMessage;
        return read;
    }
    try {
        TExpressionObject m = current;
        m.a1 = lines.number(QStringLiteral("a1"));
        m.c = lines.number(QStringLiteral("c"));
        m.b = lines.number(QStringLiteral("b"));
        m.n = lines.number(QStringLiteral("n"));
        m.LG_LN = static_cast<uint8_t>(lines.whole(QStringLiteral("LG_LN")) & 0xFF);
        m.Storm_RepeatYear = lines.number(QStringLiteral("重现期"));
        m.Storm_Time = lines.number(QStringLiteral("降雨历时"));
        m.Storm_Percent = lines.number(QStringLiteral("峰值比例"));
        m.Storm_Step = lines.whole(QStringLiteral("计算步长"));
        if (lines.find(QStringLiteral("F_type"))) {
            m.F_type = lines.whole(QStringLiteral("F_type"));
            m.a1_167 = lines.number(QStringLiteral("a1_167"));
        } else {
            // Older files hold only the depth form; the flow form is the exact conversion.
            m.F_type = 0;
            m.a1_167 = m.a1 / 0.006;
        }
        read.model = m;
        read.status = RainModelRead::Ok;
    } catch (const TavrelError &e) {
        read.status = RainModelRead::Failed;
        read.message = e.message();
    }
    return read;
}

RainModelRead ReadRainModelFile(const QString &path, const TExpressionObject &current)
{
    // A rain-model file is a few hundred bytes. A much larger file (a picture or a video
    // dropped on the window by mistake) is another kind of file; it is refused like one
    // rather than read whole into memory.
    if (QFileInfo(path).size() > MaxRainModelFileBytes) {
        RainModelRead read;
        read.status = RainModelRead::WrongSign;
        read.message = WrongSignMessage;
        return read;
    }
    QByteArray bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const TavrelError &e) {
        RainModelRead read;
        read.status = RainModelRead::Failed;
        read.message = e.message();
        return read;
    }
    return ParseRainModelText(DecodeText(bytes), current);
}
