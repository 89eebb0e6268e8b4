// Records-table files of 100,000 records: appending one result against
// copying the table twice with cp, and converting a legacy table against
// copying it once with cp.

#include "config/app_config.h"
#include "exercise/program_state.h"
#include "records/number_range.h"
#include "records/result_record.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int kRecords = 100000;

ResultRecord SampleRecord(qint64 i)
{
    return {QString("ученик%1").arg(i * 7919 % kRecords),
            QString("Фамилия%1 Имя").arg(i * 104729 % kRecords),
            qint32(i * 31 % 200000),
            20,
            "06-12-2026 09:05:07",
            qint32(i % 5)};
}

// `count` records, each cut to `size` bytes (776 gives the legacy format).
QByteArray TableBytes(int count, int size)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * size);
    for (qint64 i = 0; i < count; ++i)
        bytes += EncodeResultRecord(SampleRecord(i)).left(size);
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Runs cp as a separate process, as a person at the shell would.
void Cp(const QString& from, const QString& to)
{
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    char* argv[] = {const_cast<char*>("cp"), const_cast<char*>(a.constData()),
                    const_cast<char*>(b.constData()), nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv, environ) == 0) {
        int status;
        waitpid(pid, &status, 0);
    }
}

struct Folder {
    QTemporaryDir dir;
    QString path() const { return dir.path() + QLatin1Char('/'); }
};

void BM_AppendResult(benchmark::State& state)
{
    Folder folder;
    WriteFile(folder.path() + "20record.config", TableBytes(kRecords, kResultRecordSize));
    appConfig().PathUser = folder.path();
    const ResultRecord record = SampleRecord(7);
    for (auto _ : state)
        AppendResultRecord(record);
}
BENCHMARK(BM_AppendResult)->Unit(benchmark::kMillisecond);

void BM_CopyTableTwiceWithCp(benchmark::State& state)
{
    Folder folder;
    const QString table = folder.path() + "20record.config";
    WriteFile(table, TableBytes(kRecords, kResultRecordSize));
    for (auto _ : state) {
        Cp(table, folder.path() + "20record.new");
        Cp(table, folder.path() + "20record.tmp");
    }
}
BENCHMARK(BM_CopyTableTwiceWithCp)->Unit(benchmark::kMillisecond);

void BM_ConvertLegacyTable(benchmark::State& state)
{
    Folder folder;
    const QString master = folder.path() + "master.legacy";
    WriteFile(master, TableBytes(kRecords, kLegacyResultRecordSize));
    appConfig().PathUser = folder.path();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(folder.path() + "20record.config");
        QFile::copy(master, folder.path() + "20record.conf");
        state.ResumeTiming();
        ConvertLegacyTables();
    }
}
BENCHMARK(BM_ConvertLegacyTable)->Unit(benchmark::kMillisecond);

void BM_CopyLegacyWithCp(benchmark::State& state)
{
    Folder folder;
    const QString legacy = folder.path() + "20record.conf";
    WriteFile(legacy, TableBytes(kRecords, kLegacyResultRecordSize));
    for (auto _ : state)
        Cp(legacy, folder.path() + "20record.config");
}
BENCHMARK(BM_CopyLegacyWithCp)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ProgramState programState;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
