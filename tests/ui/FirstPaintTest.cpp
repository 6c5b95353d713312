#include "ui/FirstPaint.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

TEST(FirstPaint, WorkWaitsForTheFirstExposureAndRunsOnce)
{
    QWidget window;
    window.resize(120, 80);
    window.show();
    int runs = 0;
    RunAfterFirstPaint(window, [&] { ++runs; });
    EXPECT_EQ(runs, 0);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 900));
    EXPECT_LT(clock.elapsed(), 900);   // the exposure started it, not the fallback
    window.hide();
    window.show();
    QTest::qWait(1200);
    EXPECT_EQ(runs, 1);
}

TEST(FirstPaint, AWindowNeverExposedGetsTheWorkAllTheSame)
{
    QWidget window;   // never shown, like a window started minimised
    bool ran = false;
    RunAfterFirstPaint(window, [&] { ran = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 3000));
}
