#pragma once
// What the fuzz targets share: the input as bytes, a scratch folder for files,
// and a check that stops the run when a reader breaks a promise.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// The input without a copy: a read past its end is a read past the fuzzer's buffer.
QByteArray FuzzBytes(const uint8_t* data, size_t size);

// A folder of this process for the files a target writes, ending with "/".
// Kept in memory where the system offers it; removed when the process ends.
QString FuzzFolder();

// Replaces `path` with exactly `bytes`.
void WriteFuzzFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFuzzFile(const QString& path);

// Prints what failed and aborts, so the fuzzer keeps the input.
[[noreturn]] void FuzzFailed(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFailed(#condition, __FILE__, __LINE__);                                            \
    } while (false)
