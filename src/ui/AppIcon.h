#pragma once
// The program's icon: cumulative-rainfall bars hanging from the top and the intensity line
// of a Chicago storm below them, the two curves of the main window's chart. One drawing,
// given as a picture of any size and as SVG for the desktop's scalable icon.
#include <QByteArray>
#include <QIcon>
#include <QImage>

QImage PaintAppIcon(int size);
QByteArray AppIconSvg();
// The sizes a desktop asks for, for the window's icon.
QIcon AppIcon();
