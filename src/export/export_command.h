#pragma once
// The zelvo-export command line: what to export, from which class folder,
// with which separator and to where; and the run that writes the CSV and
// names on standard error what could not be read; or the HTML report.

#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

constexpr int kExitDone = 0;       // everything exported
constexpr int kExitIncomplete = 1; // a folder, table or file unread, the output not written,
                                   // or ADM's password refused
constexpr int kExitUsage = 2;      // a wrong command line

struct ExportRequest {
    bool help = false;
    bool passwordDigest = false;   // --password-digest: the digest of a password on stdin
    bool summary = false;          // otherwise a records table, or the report
    bool report = false;           // the HTML report
    QString rangeText;             // records: "9", "20", "99" or "999"; report: empty for all
    std::optional<QDate> since;    // report: from that day
    std::optional<QDate> until;    // report: to that day
    std::optional<QDate> week;     // report: the last day of the week of activity
    bool summaryOnly = false;      // report: the class overview alone
    bool english = false;          // report: --lang en
    std::optional<QString> folder; // none: the default class folder
    char separator = ';';
    bool raw = false;              // the stored texts (nick, full name, date) as stored
    std::optional<QString> output; // none: standard output
};

// `arguments` as QCoreApplication::arguments() gives them, program name first.
// Empty, with `error` telling why, when the command line is wrong.
std::optional<ExportRequest> ParseExportArguments(const QStringList& arguments, QString& error);

// The usage text, in Russian and in English.
QString ExportHelpText();

// Asks for ADM's password (a prompt, if any, on `err`); none when none was given.
using AdminPasswordSource = std::function<std::optional<QString>(QIODevice& err)>;

// Runs the command line: the CSV or the report goes to `out` or to the output file, the
// messages to `err`, one line each. Returns the exit code. A class folder that the
// account may not list is read through the class folder's keeper, when there is one
// and the folder is the store's, after ADM's password from `adminPassword` passed
// there (by default ReadAdminPassword: the terminal, or one line of standard input).
int RunExportCommand(const QStringList& arguments, QIODevice& out, QIODevice& err,
                     const AdminPasswordSource& adminPassword = AdminPasswordSource());
