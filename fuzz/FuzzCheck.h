#pragma once
// What the fuzz targets share: input as Qt types, and a failed property that stops the run
// with a readable reason (libFuzzer then keeps the input as a crash).
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline QByteArray FuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

[[noreturn]] inline void FuzzFail(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "property failed: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                                             \
    do {                                                                                                           \
        if (!(condition))                                                                                          \
            FuzzFail(#condition, detail);                                                                          \
    } while (false)
