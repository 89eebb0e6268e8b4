#pragma once
// Reading the class folder, for the CSV export and the report alike. Nothing
// in the folder is written; each file is opened for reading only, under the
// folder's shared lock while it is read (a folder never locked before stays
// untouched). Every problem becomes a message that names the file in full.
// An account that may not list the folder reads it through the class
// folder's keeper, after ADM's password passed there (ClassReader).

#include "accounts/user_profile.h"
#include "records/records_order.h"
#include "records/result_record.h"

#include <QString>
#include <QStringList>

#include <vector>

class ClassFolderAccess;

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

// One class folder read for the export: with the account's own rights, or
// through the keeper (ADM logged in there), which serves the store's class
// folder alone. Both give the same records and profiles and name the same
// files in their messages; the keeper cannot tell an empty table from a
// missing one, nor a record cut short at the end (it leaves that out).
class ClassReader {
  public:
    // `dir` as ClassFolderToRead gives it; `keeper` none for the direct read.
    explicit ClassReader(const QString& dir, ClassFolderAccess* keeper = nullptr);

    const QString& dir() const { return dir_; }
    bool throughKeeper() const { return keeper_ != nullptr; }
    // CanListClassFolder for the direct read.
    bool canList(QStringList& errors) const;
    // The nicks of the profiles, in no particular order; none after adding
    // the message to `errors` when the keeper cannot be reached.
    QStringList nicks(QStringList& errors) const;
    // ReadClassProfile for the direct read.
    bool readProfile(const QString& nick, UserProfile& profile, QStringList& errors) const;
    // ReadClassTable of the range's table for the direct read.
    TableRead readTable(const QString& rangeText, std::vector<ResultRecord>& records,
                        QStringList& errors, QStringList& warnings) const;

  private:
    QString dir_;
    ClassFolderAccess* keeper_;
};

// Nicks in the order of the records window's nick sort, in case-sensitive
// order where they compare equal there, so that rows come the same way on
// every run.
class NickOrder {
  public:
    bool operator()(const QString& a, const QString& b) const;

  private:
    QCollator collator_ = RecordsCollator();
};
