// Loading the records window from a table of 100,000 records, in each order,
// against the baseline of reading the same file's bytes.

#include "config/app_config.h"
#include "records/form11_records.h"
#include "records/number_range.h"
#include "records/result_record.h"

#include <QApplication>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 100000;

// A user folder holding a 0-20 table of kRecords varied records.
const QTemporaryDir& Folder()
{
    static QTemporaryDir dir;
    static const bool filled = [] {
        QByteArray bytes;
        for (qint64 i = 0; i < kRecords; ++i) {
            const ResultRecord record{QString("ученик%1").arg(i * 7919 % kRecords),
                                      QString("Фамилия%1 Имя").arg(i * 104729 % kRecords),
                                      qint32(i * 31 % 200000), 20, "06-12-2026 09:05:07",
                                      qint32(i % 5)};
            bytes += EncodeResultRecord(record);
        }
        QFile file(dir.path() + "/20record.config");
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return true;
    }();
    (void)filled;
    return dir;
}

void UseFolder()
{
    appConfig().PathUser = Folder().path() + "/";
    currentRange() = NumberRange();
}

void BM_ReadTableBytes(benchmark::State& state)
{
    UseFolder();
    for (auto _ : state) {
        QFile file(RecordsTableFileName());
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
    }
}
BENCHMARK(BM_ReadTableBytes)->Unit(benchmark::kMillisecond);

void BM_LoadRecordsTable(benchmark::State& state)
{
    UseFolder();
    TForm11 form;
    QRadioButton* radios[] = {form.RadioButton1, form.RadioButton2, form.RadioButton3,
                              form.RadioButton4};
    radios[state.range(0)]->setChecked(true);
    for (auto _ : state)
        form.LoadRecordsTable();
}
BENCHMARK(BM_LoadRecordsTable)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
