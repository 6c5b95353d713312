#pragma once
// Reading the system's font configuration takes several milliseconds, and the first text the
// window measures waits for it. A FontConfigWarmUp reads it on a thread of its own while the
// application and its window are being made; the thread is joined when the object goes.
#include <thread>

class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

private:
    std::thread thread;
};
