#pragma once
// Work the desktop program's start would otherwise wait for on its main thread, done on
// threads of their own while the application and its window are being made:
// - reading the system's font configuration (several milliseconds), which the first text
//   the window measures needs;
// - loading Qt's image-format plugins, which the menu bar's extension icon needs (Qt
//   opens every plugin to ask whether it reads that picture).
// The threads are joined when the object goes.
#include <thread>

class StartUpWarmUp {
public:
    // Starts reading the font configuration; made before the application.
    StartUpWarmUp();
    ~StartUpWarmUp();
    StartUpWarmUp(const StartUpWarmUp &) = delete;
    StartUpWarmUp &operator=(const StartUpWarmUp &) = delete;

    // Starts loading the image-format plugins; called once the application exists, which
    // knows where the plugins are.
    void loadImageFormats();

private:
    std::thread fonts;
    std::thread imageFormats;
};
