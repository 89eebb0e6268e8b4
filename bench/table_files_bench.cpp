// Records-table files: appending one result to tables of 1,000 and 1,000,000
// records against writing one 780-byte record with fdatasync; appending to a
// table of 100,000 records against copying it twice with cp; converting a
// legacy table of 100,000 records against copying it once with cp.

#include "config/app_config.h"
#include "exercise/program_state.h"
#include "records/number_range.h"
#include "records/result_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A user folder holding a 0-20 table of `count` whole records, written as a
// real file (a sparse one is refused), made once per run and size: the
// million-record table is some 780 MB.
QString FolderWithTable(int count)
{
    static QTemporaryDir root;
    static std::map<int, QString> folders;
    const auto found = folders.find(count);
    if (found != folders.end())
        return found->second;
    const QString folder = root.path() + QStringLiteral("/n%1/").arg(count);
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("20record.config"));
    if (file.open(QIODevice::WriteOnly)) {
        const int perChunk = 4096;
        const QByteArray chunk = TableBytes(perChunk, kResultRecordSize);
        for (int written = 0; written < count; written += perChunk)
            file.write(
                chunk.left(qsizetype(std::min(perChunk, count - written)) * kResultRecordSize));
        file.flush();
        ::fsync(file.handle());
    }
    folders[count] = folder;
    return folder;
}

// Each iteration appends one result to the table of state.range(0) records
// (it grows by one record per iteration).
void BM_AppendResult(benchmark::State& state)
{
    appConfig().PathUser = FolderWithTable(int(state.range(0)));
    const ResultRecord record = SampleRecord(7);
    for (auto _ : state)
        AppendResultRecord(record);
}
BENCHMARK(BM_AppendResult)->Arg(1000)->Arg(kRecords)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The floor of an append: one 780-byte record written at the end of a file
// of the same folder and flushed with fdatasync (open, write, flush, close).
void BM_WriteRecordWithFdatasync(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(FolderWithTable(1000) + "floor.bin");
    const QByteArray record = EncodeResultRecord(SampleRecord(7));
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        benchmark::DoNotOptimize(::write(fd, record.constData(), size_t(record.size())));
        ::fdatasync(fd);
        ::close(fd);
    }
}
BENCHMARK(BM_WriteRecordWithFdatasync)->Unit(benchmark::kMillisecond);

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
