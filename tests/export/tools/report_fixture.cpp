// Writes a small class folder for the report's browser test, or with "demo"
// a class of five pupils over six weeks for the screenshot: profiles and
// records tables through the program's own encoders.
// Usage: report_fixture DIR [demo]

#include "accounts/user_profile.h"
#include "records/result_record.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool WriteUser(const QString& dir, const QString& nick, const QString& fullName)
{
    UserProfile profile;
    profile.fullName = fullName;
    return Write(ProfilePath(dir, nick), EncodeUserProfile(profile));
}

// Five pupils, each getting faster over six weeks at their own pace, in 0-20
// and 0-99.
bool WriteDemo(const QString& dir)
{
    const QStringList nicks = {"anna", "boris", "vera", "gleb", "dasha"};
    const QStringList names = {"Анна Петрова", "Борис Иванов", "Вера Смирнова", "Глеб Кузнецов",
                               "Дарья Волкова"};
    bool ok = true;
    QByteArray table20, table99;
    for (int p = 0; p < nicks.size(); ++p)
        ok = ok && WriteUser(dir, nicks[p], names[p]);
    const QDateTime start(QDate(2026, 9, 1), QTime(9, 0));
    for (int day = 0; day < 42; ++day) {
        if (start.addDays(day).date().dayOfWeek() > 5)
            continue;
        for (int p = 0; p < nicks.size(); ++p) {
            if ((day + p) % 3 == 0)
                continue;
            const QString when =
                start.addDays(day).addSecs(p * 600).toString("dd-MM-yyyy hh:mm:ss");
            const qint32 time20 = qint32(600 - day * (4 + p) - (day * 37 + p * 11) % 60);
            table20 += EncodeResultRecord(ResultRecord{nicks[p], names[p], time20, 20 + day % 7,
                                                       when, qint32((day * 7 + p * 3) % 5)});
            if (day % 2 == p % 2)
                table99 += EncodeResultRecord(ResultRecord{
                    nicks[p], names[p], qint32(1500 - day * (8 + p)), 15,
                    start.addDays(day).addSecs(p * 600 + 300).toString("dd-MM-yyyy hh:mm:ss"),
                    qint32((day + p) % 6)});
        }
    }
    return ok && Write(RecordsTableFileName(dir, "20"), table20) &&
           Write(RecordsTableFileName(dir, "99"), table99);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2 && !(argc == 3 && qstrcmp(argv[2], "demo") == 0)) {
        std::fprintf(stderr, "usage: report_fixture DIR [demo]\n");
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    QDir().mkpath(dir);
    if (argc == 3) {
        if (WriteDemo(dir))
            return 0;
        std::fprintf(stderr, "report_fixture: cannot write %s\n", argv[1]);
        return 1;
    }
    const QString anna = QStringLiteral("anna");
    const QString script = QStringLiteral("<script>alert(1)</script>");
    bool ok = WriteUser(dir, anna, QStringLiteral("Анна Петрова")) &&
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
    ok =
        ok &&
        Write(RecordsTableFileName(dir, QStringLiteral("9")),
              EncodeResultRecord(ResultRecord{QStringLiteral("%1%2"), QStringLiteral("Проценты"),
                                              1000, 10, QStringLiteral("03-09-2026 09:30:00"), 3}));
    if (!ok) {
        std::fprintf(stderr, "report_fixture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
