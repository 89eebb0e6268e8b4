// Writes a small class folder for the report's browser test: profiles and
// records tables through the program's own encoders.
// Usage: report_fixture DIR

#include "accounts/user_profile.h"
#include "records/result_record.h"

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

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: report_fixture DIR\n");
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    QDir().mkpath(dir);
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
