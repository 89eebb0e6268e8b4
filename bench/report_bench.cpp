// The teacher's report: a class of 30 pupils with 1,000 exercises each,
// gathered from the class folder and written as one HTML page, against the
// floor of reading and decoding the same records tables; and the growth of
// the whole report from 1,000 to 100,000 records.

#include "accounts/user_profile.h"
#include "export/class_report.h"
#include "export/report_html.h"
#include "records/result_record.h"
#include "util/record_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>

namespace {

const QStringList kRanges = {"9", "20", "99", "999"};

// A class folder of 30 pupils sharing `count` exercises, a few a day over a
// school year, spread over the four ranges; made once per size.
QString ClassWith(int count)
{
    static QTemporaryDir root;
    static std::map<int, QString> folders;
    auto found = folders.find(count);
    if (found != folders.end())
        return found->second;
    const QString folder = root.path() + QStringLiteral("/n%1/").arg(count);
    QDir().mkpath(folder);
    const int pupils = 30;
    for (int p = 0; p < pupils; ++p) {
        UserProfile profile;
        profile.fullName = QStringLiteral("Фамилия%1 Имя Отчество").arg(p);
        QFile file(ProfilePath(folder, QStringLiteral("ученик%1").arg(p)));
        if (file.open(QIODevice::WriteOnly))
            file.write(EncodeUserProfile(profile));
    }
    std::map<QString, QByteArray> tables;
    const QDateTime start(QDate(2026, 9, 1), QTime(8, 0));
    for (qint64 i = 0; i < count; ++i) {
        const int pupil = int(i % pupils);
        const qint64 nth = i / pupils; // the pupil's nth exercise
        const QDateTime when =
            start.addSecs(nth * 270 * 86400 / std::max<qint64>(1, count / pupils) + pupil * 60);
        const ResultRecord record{QStringLiteral("ученик%1").arg(pupil),
                                  QStringLiteral("Фамилия%1 Имя Отчество").arg(pupil),
                                  qint32(150 + (i * 7919) % 600),
                                  qint32(10 + i % 40),
                                  when.toString(QStringLiteral("dd-MM-yyyy hh:mm:ss")),
                                  qint32(i % 5)};
        tables[kRanges[int(nth % 4)]] += EncodeResultRecord(record);
    }
    for (const auto& [range, bytes] : tables) {
        QFile file(RecordsTableFileName(folder, range));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    folders[count] = folder;
    return folder;
}

void Report(benchmark::State& state, int count)
{
    const QString folder = ClassWith(count);
    qint64 bytes = 0;
    for (auto _ : state) {
        const ClassReport report = GatherClassReport(folder, ReportFilter());
        const QByteArray page =
            ReportHtml(report, ReportLanguage::Russian, QDateTime::currentDateTime());
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["page_bytes"] = double(bytes);
}

void BM_Report30x1000(benchmark::State& state) { Report(state, 30000); }
BENCHMARK(BM_Report30x1000)->Unit(benchmark::kMillisecond);

// The floor: the same four tables read and decoded by the program's reader.
void BM_ReadTables30x1000(benchmark::State& state)
{
    const QString folder = ClassWith(30000);
    for (auto _ : state)
        for (const QString& range : kRanges) {
            std::vector<ResultRecord> records =
                ReadResultRecords(RecordsTableFileName(folder, range), OpenFor::Reading);
            benchmark::DoNotOptimize(records.data());
        }
}
BENCHMARK(BM_ReadTables30x1000)->Unit(benchmark::kMillisecond);

void BM_ReportGrowth(benchmark::State& state) { Report(state, int(state.range(0))); }
BENCHMARK(BM_ReportGrowth)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
