#include "keeper/pending_results.h"

#include "keeper/class_folder_access.h"
#include "platform/atomic_file.h"
#include "records/number_range.h"
#include "util/files.h"

#include <QDir>
#include <QStandardPaths>

QString PendingResultsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/zelvo/pending/");
}

bool KeepPendingResult(const QString& rangeText, const ResultRecord& record)
{
    try {
        const QString folder = PendingResultsFolder();
        QDir().mkpath(folder);
        AppendResultRecord(folder, rangeText, record);
        return true;
    } catch (const ZelvoError&) {
        return false;
    }
}

void AppendOrKeepResult(const QString& rangeText, const ResultRecord& record)
{
    try {
        classFolder().appendResult(rangeText, record);
    } catch (const AccessRefused&) {
        throw;
    } catch (const ZelvoError& error) {
        if (!classFolder().throughKeeper() || !KeepPendingResult(rangeText, record))
            throw;
        throw ZelvoError(error.text() +
                         QStringLiteral("\nРезультат сохранён на этом компьютере и будет добавлен "
                                        "в таблицу рекордов при следующем входе под этим именем."));
    }
}

int AppendPendingResults(const QString& nick)
{
    const QString folder = PendingResultsFolder();
    int appended = 0;
    for (const QString& rangeText : RangeTexts()) {
        const QString table = RecordsTableFileName(folder, rangeText);
        if (!QFile::exists(table))
            continue;
        std::vector<ResultRecord> records;
        try {
            records = ReadResultRecords(table);
        } catch (const ZelvoError&) {
            continue; // left as it is for the account's owner to see
        }
        std::vector<ResultRecord> kept;
        bool changed = false;
        for (const ResultRecord& record : records) {
            if (record.nick == nick) {
                // A step that fails keeps this one and the rest for the next login.
                try {
                    classFolder().appendResult(rangeText, record);
                    ++appended;
                    changed = true;
                    continue;
                } catch (const ZelvoError&) {
                }
            }
            kept.push_back(record);
        }
        if (!changed)
            continue;
        if (kept.empty()) {
            QFile::remove(table);
            continue;
        }
        QByteArray bytes;
        for (const ResultRecord& record : kept)
            bytes += EncodeResultRecord(record);
        ReplaceFileWhole(table, bytes, 0600);
    }
    return appended;
}
