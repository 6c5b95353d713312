#pragma once
// Chart pictures as files: 24-bit BMP, baseline JPEG at quality 90, PNG.
#include <QByteArray>
#include <QImage>
#include <QString>

// The encoder for a picture file's extension (.bmp, .jpg, .png in any letter case):
// "bmp", "jpeg" or "png"; nullptr for any other extension.
const char *PictureFormatOf(const QString &path);

// The picture's bytes in that format, from its 24-bit colours. Throws TavrelError when
// the encoder fails.
QByteArray EncodePicture(const QImage &picture, const char *format);

// Writes the picture to `path` in the format of its extension, through a temporary file
// renamed into place; any other extension writes nothing. Throws TavrelError.
void WritePictureFile(const QString &path, const QImage &picture);
