#pragma once
// The conversion of the older records tables ("*.conf", 776-byte records)
// into the current form, at start-up.

#include <QString>

// The most bytes the start-up conversion writes in one run (64 MiB), so that
// many legacy files planted at once cost a start no more than that; the
// tables beyond it wait, untouched, for the next start. A run's first table
// is converted whatever its size, so that none waits for ever.
constexpr qint64 kLegacyConversionBudget = qint64(64) << 20;
// Converts the "*.conf" tables of the user folder, in listing order, until
// the next would take more than is left of `budget`; IoError ends the scan.
void ConvertLegacyTables(qint64 budget = kLegacyConversionBudget);
// Converts the legacy table folder + name into folder + base name + ".config",
// after the records that table already holds. A folder, or a file whose size
// is not a whole number of legacy records, is left alone. Returns the bytes
// written (old and converted records), or -1, with nothing changed, when
// they would be more than `budget` (negative: no bound).
qint64 ConvertLegacyTable(const QString& folder, const QString& name, qint64 budget = -1);
