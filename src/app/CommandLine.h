#pragma once
// What `tavrel --help` and `tavrel --version` print. They are answered before the
// application object exists, so they work in a terminal without a display, and the
// manual pages are made from this text during the build.
#include "core/Version.h"

#include <cstdio>
#include <cstring>

inline const char *DesktopHelpText()
{
    return "用法 / Usage: tavrel [雨型文件/MODEL.txt]\n"
           "\n"
           "打开 Tavrel 芝加哥雨型的窗口：由暴雨强度公式和设计重现期、降雨历时、峰值比例、\n"
           "计算步长计算芝加哥雨型（Keifer-Chu），显示曲线图和数据表格，并导出为雨型文件、\n"
           "CSV、SWMM降雨时间序列、Word和Excel文档、计算书和图片。给出雨型文件时打开该文件。\n"
           "Opens the Tavrel Chicago Storm window: computes a Chicago design storm (Keifer\n"
           "and Chu) from a storm-intensity formula and the return period, duration, peak\n"
           "ratio and step, shows it as a chart and a table, and exports it as a rain-model\n"
           "file, CSV, an SWMM rainfall time series, Word and Excel documents, a calculation\n"
           "book and pictures. MODEL.txt is opened when given.\n"
           "\n"
           "设置保存在用户的 options.ini 中，与 tavrel-cli 相同：\n"
           "$XDG_CONFIG_HOME/Orvanta/Tavrel/options.ini（默认 ~/.config/Orvanta/Tavrel/options.ini）。\n"
           "Settings are kept in the user's options.ini, which tavrel-cli reads too:\n"
           "$XDG_CONFIG_HOME/Orvanta/Tavrel/options.ini (by default ~/.config/Orvanta/Tavrel/options.ini).\n"
           "\n"
           "  -h, --help             显示本说明 / show this help\n"
           "  --version              显示版本号 / show the version\n";
}

// Answers --help and --version on standard output; false for any other command line.
inline bool AnswerInformationRequest(int argc, char **argv)
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
        std::fputs(DesktopHelpText(), stdout);
        return true;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tavrel %s\n", TAVREL_VERSION);
        return true;
    }
    return false;
}
