#pragma once
// Storms and failing disks for the export tests.
#include "core/GridText.h"
#include "core/Hyetograph.h"
#include "core/Failure.h"
#include "core/StormModel.h"

#include <csignal>
#include <functional>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

struct ComputedStorm {
    TExpressionObject model;
    HyetographResult result;
    GridTable grid;
};

// The start-up storm with other duration, peak ratio and b, shown in hours:minutes and
// mm/h (what the SWMM export needs) unless told otherwise.
inline ComputedStorm MakeStorm(double minutes, double peakRatio, double b = 7, GridFormat format = {0, 0, 4})
{
    ComputedStorm s;
    SetStartValues(s.model);
    s.model.Storm_Time = minutes;
    s.model.Storm_Percent = peakRatio;
    s.model.b = b;
    s.result = ComputeHyetographRows(s.model, {format.StormUnit, false, format.Precision});
    s.grid = GridTable(s.result.points, format);
    return s;
}

// Windows has no limit on a file's size to stand for a full disk.
#ifdef Q_OS_WIN
#define SKIP_WITHOUT_FULL_DISK() GTEST_SKIP() << "no file size limit on Windows"
inline QString FailureOnAFullDisk(const std::function<void()> &)
{
    return {};
}
#else
#define SKIP_WITHOUT_FULL_DISK() static_cast<void>(0)
// While it lives, no file of this process may grow beyond a few bytes, as on a full
// disk; this stops root as well, where a read-only folder would not.
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit saved{};
    void (*savedHandler)(int) = nullptr;
};

// The message of the failure `write` throws while no file may grow, as on a full disk;
// empty when it does not fail. (Test output waits until the limit is lifted.)
inline QString FailureOnAFullDisk(const std::function<void()> &write)
{
    FileSizeLimit full;
    try {
        write();
    } catch (const TavrelError &e) {
        return e.message();
    }
    return {};
}
#endif
