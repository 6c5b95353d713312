#include "PictureEncoding.h"

#include "core/Failure.h"
#include "core/TextFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

const char *PictureFormatOf(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toUpper();
    if (extension == QLatin1String("BMP"))
        return "bmp";
    if (extension == QLatin1String("JPG"))
        return "jpeg";
    if (extension == QLatin1String("PNG"))
        return "png";
    return nullptr;
}

QByteArray EncodePicture(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (qstrcmp(format, "jpeg") == 0) {
        writer.setQuality(90);
        writer.setProgressiveScanWrite(false);
        writer.setOptimizedWrite(false);
    }
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB888)))
        throw TavrelError(QStringLiteral("无法生成图片：%1").arg(writer.errorString()));
    return bytes;
}

void WritePictureFile(const QString &path, const QImage &picture)
{
    const char *format = PictureFormatOf(path);
    if (!format)
        return;
    WriteFileAtomically(path, EncodePicture(picture, format));
}
