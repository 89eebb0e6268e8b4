#pragma once
// Results the class folder could not take (its keeper gone, a lock wait that
// timed out, a full disk) wait in the pupil's own data folder, in tables of
// the records format, until that pupil's next login appends them.

#include "records/result_record.h"

#include <QString>

// ~/.local/share/zelvo/pending/ (the account's own), ending with "/".
QString PendingResultsFolder();

// Keeps `record` (its nick is the pupil's) for the range's table. False when
// even that fails.
bool KeepPendingResult(const QString& rangeText, const ResultRecord& record);

// Appends `record` through the class folder of the run. Where the keeper's
// folder cannot take it, the record is kept for the next login and the error
// raised says so; a refusal, and an error of a folder reached directly, are
// raised as they come.
void AppendOrKeepResult(const QString& rangeText, const ResultRecord& record);

// Appends the kept results of `nick` through the class folder of the run,
// after that pupil's login; each one appended leaves the pending tables, the
// others stay. The number appended.
int AppendPendingResults(const QString& nick);
