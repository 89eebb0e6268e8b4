// The records window: load, sort and show a table of 100,000 records in each
// of the four orders, against the floor of the same work without a window:
// reading the file, decoding the fields and sorting the same keys with the
// same collator. Also the growth of the load from 1,000 to 1,000,000 records.

#include "config/app_config.h"
#include "exercise/program_state.h"
#include "records/number_range.h"
#include "records/result_record.h"
#include "records/ui/form11_records.h"

#include <QApplication>
#include <QCollator>
#include <QCollatorSortKey>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRadioButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtEndian>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <vector>

namespace {

// A user folder holding a 0-20 table of `count` varied records, made once per size.
QString FolderWith(int count)
{
    static QTemporaryDir root;
    static std::map<int, QString> folders;
    auto found = folders.find(count);
    if (found != folders.end())
        return found->second;
    const QString folder = root.path() + QStringLiteral("/n%1/").arg(count);
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("20record.config"));
    if (file.open(QIODevice::WriteOnly)) {
        QByteArray chunk;
        for (qint64 i = 0; i < count; ++i) {
            const ResultRecord record{QString("ученик%1").arg(i * 7919 % count),
                                      QString("Фамилия%1 Имя").arg(i * 104729 % count),
                                      qint32(i * 31 % 200000),
                                      20,
                                      "06-12-2026 09:05:07",
                                      qint32(i % 5)};
            chunk += EncodeResultRecord(record);
            if (chunk.size() > (1 << 22)) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
    }
    folders[count] = folder;
    return folder;
}

// The program state of the run, made in main().
ProgramState* benchState = nullptr;

void UseFolder(int count) { appConfig().PathUser = FolderWith(count); }

// Loads the window in `order` (0 date, 1 time, 2 nick, 3 full name) and paints it.
void LoadAndShow(benchmark::State& state, int count, int order)
{
    UseFolder(count);
    TForm11 form(benchState->range, benchState->classFolder);
    QRadioButton* radios[] = {form.RadioButton2, form.RadioButton1, form.RadioButton3,
                              form.RadioButton4};
    radios[order]->setChecked(true);
    form.show();
    QApplication::processEvents();
    for (auto _ : state) {
        form.LoadRecordsTable();
        form.repaint();
    }
    state.counters["rows"] = form.gridRowCount() - 1;
}

void BM_Records100k(benchmark::State& state) { LoadAndShow(state, 100000, int(state.range(0))); }
BENCHMARK(BM_Records100k)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_RecordsGrowth(benchmark::State& state) { LoadAndShow(state, int(state.range(0)), 2); }
BENCHMARK(BM_RecordsGrowth)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The floor, in plain Qt: the fields of one record as texts and numbers.
struct Fields {
    QString nick, fullName, finishedAt;
    qint32 time, points, errors;
};

QString Field(QStringDecoder& decoder, const char* at)
{
    return decoder.decode(QByteArrayView(at + 1, quint8(at[0])));
}

void BM_Floor100k(benchmark::State& state)
{
    UseFolder(100000);
    const int order = int(state.range(0));
    const QString path = FolderWith(100000) + QStringLiteral("20record.config");
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::Russian, QLocale::Russia);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    QByteArray block(4096 * 780, Qt::Uninitialized);
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        QStringDecoder decoder("windows-1251", QStringConverter::Flag::Stateless);
        std::vector<Fields> rows;
        rows.reserve(size_t(file.size() / 780));
        for (qint64 got; (got = file.read(block.data(), block.size())) > 0;) {
            for (qint64 at = 0; at + 780 <= got; at += 780) {
                const char* r = block.constData() + at;
                rows.push_back({Field(decoder, r), Field(decoder, r + 256), Field(decoder, r + 520),
                                qFromLittleEndian<qint32>(r + 512),
                                qFromLittleEndian<qint32>(r + 516),
                                qFromLittleEndian<qint32>(r + 776)});
            }
        }
        const int count = int(rows.size());
        std::vector<int> positions(rows.size());
        std::iota(positions.begin(), positions.end(), 0);
        if (order != 0) {
            std::vector<QCollatorSortKey> keys;
            keys.reserve(rows.size());
            for (int i = 0; i < count; ++i) {
                const Fields& f = rows[size_t(i)];
                const QString primary = order == 1 ? QString::number(f.time).rightJustified(5, '0')
                                        : order == 2 ? f.nick
                                                     : f.fullName;
                keys.push_back(collator.sortKey(primary + QLatin1Char('|') + QString::number(i)));
            }
            std::stable_sort(positions.begin(), positions.end(), [&keys](int a, int b) {
                return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
            });
        }
        benchmark::DoNotOptimize(positions.data());
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_Floor100k)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ProgramState programState;
    benchState = &programState;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
