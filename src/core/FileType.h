#pragma once
#include <QString>

// One entry of a file dialog's type list.
struct FileTypeEntry {
    QString name;   // "文本文件(*.txt)"
    QString mask;   // "*.txt"
};
