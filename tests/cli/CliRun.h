#pragma once
// Running tavrel-cli in the test process, and reading what it printed.
#include "cli/CliTool.h"
#include <QStringList>
#include <gtest/gtest.h>

inline CliStreams RunTool(const QStringList &args, int expectedCode = 0)
{
    CliStreams s;
    EXPECT_EQ(RunCli(args, s), expectedCode) << s.err.toStdString();
    return s;
}

// The printed lines, without the empty text after the closing newline.
inline QStringList Lines(const QString &text)
{
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
