// Writes a class folder for the report's tests: the small one of the browser
// test; with "week" four pupils around the report's day 2026-10-10 (the
// figures the browser test expects are worked out there by hand); with
// "class30" thirty pupils for the printed overview; with "demo" a class over
// seven weeks to 2026-10-16 for the screenshot. Profiles and records tables
// go through the program's own encoders; a profile's totals are those of its
// records unless the pupil stopped an exercise with the pause.
// Usage: report_fixture DIR [week|class30|demo]

#include "accounts/user_profile.h"
#include "records/result_record.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdio>
#include <map>

namespace {

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool WriteUser(const QString& dir, const QString& nick, const QString& fullName, qint32 seconds = 0,
               qint32 points = 0)
{
    UserProfile profile;
    profile.fullName = fullName;
    profile.totalTime = seconds;
    profile.totalPoints = points;
    return Write(ProfilePath(dir, nick), EncodeUserProfile(profile));
}

// A class being written: the records per range in the order added, and each
// pupil's totals as the program adds them to the profile.
struct ClassWriter {
    QString dir;
    std::map<QString, QByteArray> tables;
    std::map<QString, std::pair<qint32, qint32>> totals; // seconds, points
    std::map<QString, QString> names;

    // One finished exercise of `seconds` for `points` on `day` at `time`.
    void add(const QString& nick, const QString& range, const QDate& day, const QTime& time,
             qint32 seconds, qint32 points, qint32 errors)
    {
        const qint32 timePerPoint = qint32(double(seconds * 100) / points);
        tables[range] += EncodeResultRecord(
            ResultRecord{nick, names[nick], timePerPoint, points,
                         QDateTime(day, time).toString("dd-MM-yyyy hh:mm:ss"), errors});
        totals[nick].first += seconds;
        totals[nick].second += points;
    }
    // An exercise stopped with the pause: in the profile's totals, in no table.
    void stopped(const QString& nick, qint32 seconds, qint32 points)
    {
        totals[nick].first += seconds;
        totals[nick].second += points;
    }
    bool write() const
    {
        bool ok = true;
        for (const auto& [nick, name] : names) {
            const auto found = totals.find(nick);
            ok = ok && (found == totals.end() ? WriteUser(dir, nick, name)
                                              : WriteUser(dir, nick, name, found->second.first,
                                                          found->second.second));
        }
        for (const auto& [range, bytes] : tables)
            ok = ok && Write(RecordsTableFileName(dir, range), bytes);
        return ok;
    }
};

// Report's day Saturday 2026-10-10, week 04.10-10.10.
// ivan, 0-20: 12 exercises of 20 points, 6.00 s a point (speed 10) five
//   times, 4.00 s (15) twice, 3.00 s (20) five times; 3 in the week.
// petr, 0-20: 10 exercises of 20 points, 3.00 s a point but the ninth 4.00 s;
//   no errors in the first five, 1 in each of the last five; 5 in the week.
// olga, 0-20: 3 exercises of 20 points at 5.00 s, 1 error each, the last on
//   19.09; her profile also holds an exercise stopped with the pause (120 s,
//   15 points).
// maks: 0-20 six times in September (4.00 s three times, then 3.00 s), then
//   0-99 four times in the week (12.00, 10.00, 10.00, 7.50 s for 10 points);
//   his profile's time one second more than the tables' (rounding).
bool WriteWeek(const QString& dir)
{
    ClassWriter c{dir, {}, {}, {}};
    c.names = {{"ivan", "Иван Орлов"},
               {"petr", "Пётр Соколов"},
               {"olga", "Ольга Лебедева"},
               {"maks", "Максим Зайцев"}};
    const QTime noon(12, 0);
    const QDate ivanDays[] = {QDate(2026, 9, 21), QDate(2026, 9, 22), QDate(2026, 9, 23),
                              QDate(2026, 9, 24), QDate(2026, 9, 25), QDate(2026, 9, 28),
                              QDate(2026, 9, 29), QDate(2026, 9, 30), QDate(2026, 10, 1),
                              QDate(2026, 10, 4), QDate(2026, 10, 6), QDate(2026, 10, 9)};
    for (int i = 0; i < 12; ++i)
        c.add("ivan", "20", ivanDays[i], noon, i < 5 ? 120 : i < 7 ? 80 : 60, 20, i < 5 ? 2 : 1);
    const QDate petrDays[] = {QDate(2026, 9, 28), QDate(2026, 9, 29), QDate(2026, 9, 30),
                              QDate(2026, 10, 1), QDate(2026, 10, 2), QDate(2026, 10, 5),
                              QDate(2026, 10, 6), QDate(2026, 10, 7), QDate(2026, 10, 8),
                              QDate(2026, 10, 8)};
    for (int i = 0; i < 10; ++i)
        c.add("petr", "20", petrDays[i], i == 9 ? QTime(15, 0) : noon, i == 8 ? 80 : 60, 20,
              i < 5 ? 0 : 1);
    for (int day : {15, 17, 19})
        c.add("olga", "20", QDate(2026, 9, day), noon, 100, 20, 1);
    c.stopped("olga", 120, 15);
    for (int i = 0; i < 6; ++i)
        c.add("maks", "20", QDate(2026, 9, 14 + i), noon, i < 3 ? 80 : 60, 20, 0);
    const qint32 maks99[] = {120, 100, 100, 75};
    for (int i = 0; i < 4; ++i)
        c.add("maks", "99", QDate(2026, 10, 5 + i), QTime(13, 0), maks99[i], 10, 1);
    c.stopped("maks", 1, 0);
    return c.write();
}

// Thirty pupils with long full names over six weeks in 0-20 and 0-99.
bool WriteClass30(const QString& dir)
{
    ClassWriter c{dir, {}, {}, {}};
    for (int p = 0; p < 30; ++p)
        c.names[QStringLiteral("ученик%1").arg(p + 1, 2, 10, QLatin1Char('0'))] =
            QStringLiteral("Преображенская Александра %1").arg(p + 1);
    int p = 0;
    for (const auto& [nick, name] : std::map<QString, QString>(c.names)) {
        for (int day = 0; day < 42; ++day) {
            const QDate date = QDate(2026, 9, 1).addDays(day);
            if (date.dayOfWeek() > 5 || (day + p) % 4 == 0 || (p % 7 == 3 && day > 30))
                continue;
            c.add(nick, p % 3 == 0 && day > 20 ? "99" : "20", date, QTime(10, p),
                  qint32(120 - day - p % 5 * 3), 20 + (day + p) % 3 * 10, (day * p) % 4);
        }
        ++p;
    }
    return c.write();
}

// The screenshot's class, to Friday 2026-10-16: anna faster week by week,
// boris no faster lately, vera stopped after 25.09, gleb moved up from 0-20 to
// 0-99 on 01.10, dasha faster but with more errors lately, egor once stopped
// an exercise with the pause. Target scores of 20, 30 or 50 points.
bool WriteDemo(const QString& dir)
{
    ClassWriter c{dir, {}, {}, {}};
    c.names = {{"anna", "Анна Петрова"},  {"boris", "Борис Иванов"},  {"vera", "Вера Смирнова"},
               {"gleb", "Глеб Кузнецов"}, {"dasha", "Дарья Волкова"}, {"egor", "Егор Николаев"}};
    const QStringList order = {"anna", "boris", "vera", "gleb", "dasha", "egor"};
    quint32 seed = 12345;
    auto noise = [&seed]() { // -1 to 1, the same every run
        seed = seed * 1103515245u + 12345u;
        return double((seed >> 8) % 2001) / 1000.0 - 1.0;
    };
    const int targets[] = {20, 30, 50};
    for (int day = 0; day < 46; ++day) {
        const QDate date = QDate(2026, 9, 1).addDays(day);
        if (date.dayOfWeek() > 5)
            continue;
        for (int p = 0; p < order.size(); ++p) {
            const QString& nick = order[p];
            if ((day * 7 + p * 5) % 9 == 0 || (nick == "vera" && date > QDate(2026, 9, 25)))
                continue;
            double speed = 0; // points per minute
            QString range = "20";
            double errors = 1.0; // per 10 points
            if (nick == "anna") {
                speed = 12 + day * 0.25;
            } else if (nick == "boris") {
                speed = 14 + std::min(day, 25) * 0.3 - std::max(0, day - 25) * 0.05;
            } else if (nick == "vera") {
                speed = 10 + day * 0.2;
            } else if (nick == "gleb") {
                range = date >= QDate(2026, 10, 1) ? "99" : "20";
                speed = range == "20" ? 16 + day * 0.3 : 5 + (day - 30) * 0.15;
            } else if (nick == "dasha") {
                speed = 18 + day * 0.2;
                errors = day > 34 ? 2.5 : 0.8;
            } else {
                speed = 11 + day * 0.15;
            }
            speed *= 1 + 0.06 * noise();
            const qint32 points = targets[(day + p) % 3];
            const qint32 seconds = qint32(std::lround(points * 60.0 / speed));
            const qint32 wrong =
                qint32(std::max(0L, std::lround(errors * points / 10.0 + 1.5 * noise())));
            c.add(nick, range, date, QTime(9 + p % 4, 5 + day % 50, 0), seconds, points, wrong);
        }
    }
    c.stopped("egor", 140, 12);
    return c.write();
}

// The browser test's small class: anna on three days, a nick and a full name
// that would be markup, a nick with % signs, and a profile without exercises.
bool WriteSmall(const QString& dir)
{
    const QString anna = QStringLiteral("anna");
    const QString script = QStringLiteral("<script>alert(1)</script>");
    // anna's profile holds the totals of her records: 520 s, 150 points.
    bool ok = WriteUser(dir, anna, QStringLiteral("Анна Петрова"), 520, 150) &&
              WriteUser(dir, QStringLiteral("ghost"), QStringLiteral("Без упражнений"));
    // The range 0-20: anna on three days, faster each day; the script nick once.
    QByteArray table20;
    for (const ResultRecord& record : {
             ResultRecord{anna, QStringLiteral("Анна Петрова"), 500, 40,
                          QStringLiteral("01-09-2026 10:00:00"), 4},
             ResultRecord{anna, QStringLiteral("Анна Петрова"), 400, 50,
                          QStringLiteral("02-09-2026 10:00:00"), 2},
             ResultRecord{script, QStringLiteral("<img src=x onerror=alert(2)>"), 300, 30,
                          QStringLiteral("02-09-2026 11:00:00"), 1},
             ResultRecord{anna, QStringLiteral("Анна Петрова"), 200, 60,
                          QStringLiteral("05-09-2026 10:00:00"), 0},
         })
        table20 += EncodeResultRecord(record);
    ok = ok && Write(RecordsTableFileName(dir, QStringLiteral("20")), table20);
    return ok && Write(RecordsTableFileName(dir, QStringLiteral("9")),
                       EncodeResultRecord(ResultRecord{QStringLiteral("%1%2"),
                                                       QStringLiteral("Проценты"), 1000, 10,
                                                       QStringLiteral("03-09-2026 09:30:00"), 3}));
}

} // namespace

int main(int argc, char* argv[])
{
    const QString kind = argc == 3 ? QString::fromLatin1(argv[2]) : QString();
    if (argc < 2 || argc > 3 || !QStringList{"", "week", "class30", "demo"}.contains(kind)) {
        std::fprintf(stderr, "usage: report_fixture DIR [week|class30|demo]\n");
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    QDir().mkpath(dir);
    const bool ok = kind == "week"      ? WriteWeek(dir)
                    : kind == "class30" ? WriteClass30(dir)
                    : kind == "demo"    ? WriteDemo(dir)
                                        : WriteSmall(dir);
    if (!ok) {
        std::fprintf(stderr, "report_fixture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
