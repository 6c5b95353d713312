#pragma once
// The main window with the scripted seam, default settings and its own folders: what the
// command tests start from.
#include "TestSupport.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormTavrel.h"

#include <QAction>
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        options = TOptions{};
        platform.appData = MakeTempFolder() + "/appdata";
        platform.temp = MakeTempFolder();
        folder = MakeTempFolder();
        window = std::make_unique<TFormTavrel>(platform, options);
        window->show();
        QApplication::processEvents();
    }

    void trigger(const char *name) { window->findChild<QAction *>(QString::fromLatin1(name))->trigger(); }

    ScriptedPlatform platform;
    TOptions options;   // the window's settings
    QString folder;   // for the files a test writes
    std::unique_ptr<TFormTavrel> window;
};
