#pragma once
// Work a window does not need for its first picture, run as soon as it has one: the
// window shows sooner, and the work follows a moment later.
#include <functional>

class QWidget;

// Runs `work` once, on this thread's event loop, after the shown `window` has been exposed
// and painted for the first time. A window that is not exposed (started minimised) gets
// it after a second all the same.
void RunAfterFirstPaint(QWidget &window, std::function<void()> work);
