#pragma once
// Reading the class folder, for the CSV export and the report alike. Nothing
// in the folder is written; each file is opened for reading only, under the
// folder's shared lock while it is read (a folder never locked before stays
// untouched). Every problem becomes a message that names the file in full.

#include "accounts/user_profile.h"
#include "records/records_order.h"
#include "records/result_record.h"

#include <QString>
#include <QStringList>

#include <vector>

// The class folder as an absolute path ending with "/". Empty, after adding
// "папка класса не найдена ..." to `errors`, when `folder` is empty or no
// folder.
QString ClassFolderToRead(const QString& folder, QStringList& errors);

// True when the profiles of `dir` can be listed; else false after adding the
// message to `errors` (a listing would find nothing, and the class would look
// empty).
bool CanListClassFolder(const QString& dir, QStringList& errors);

// "не удалось прочитать / cannot read <path>: <reason>"
QString CannotReadText(const QString& path, const QString& reason);
// "нет таблицы рекордов / records table not found: <table>"
QString NoRecordsTableText(const QString& table);

enum class TableRead { Read, Missing, Failed };

// The records of the table `table`. Missing: there is no such file, nothing
// added (the caller tells whether that is an error). Failed: the message is
// added to `errors`. A record cut short at the end is left out, with a warning.
TableRead ReadClassTable(const QString& dir, const QString& table,
                         std::vector<ResultRecord>& records, QStringList& errors,
                         QStringList& warnings);

// The profile of `nick` in `dir`; false after adding the message to `errors`.
bool ReadClassProfile(const QString& dir, const QString& nick, UserProfile& profile,
                      QStringList& errors);

// Nicks in the order of the records window's nick sort, in case-sensitive
// order where they compare equal there, so that rows come the same way on
// every run.
class NickOrder {
  public:
    bool operator()(const QString& a, const QString& b) const;

  private:
    QCollator collator_ = RecordsCollator();
};
