#pragma once
// The teacher's report as one self-contained HTML page: styles, SVG charts
// and a few lines of sorting script inside, nothing loaded from elsewhere,
// every stored text escaped, its control characters and bidirectional
// controls shown as U+FFFD.

#include "export/class_report.h"
#include "export/report_texts.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the page holds: the class overview and a section per pupil, or the
// overview alone (one printed page for a class of 30).
enum class ReportParts { Full, SummaryOnly };

// The page in UTF-8. `madeAt` is printed as the time the report was made.
QByteArray ReportHtml(const ClassReport& report, ReportLanguage language, const QDateTime& madeAt,
                      ReportParts parts = ReportParts::Full);

// The characters reserved for the page of `pupils` pupils before it is
// written: some 16 Ki per pupil, never more than 8 Mi characters (16 MiB)
// however many nicks a table holds; a larger page grows as it is written.
qsizetype ReportReservation(size_t pupils);

// The SVG of a small trend line of `values` (no axes), `label` its title.
QString SparklineSvg(const std::vector<double>& values, const QString& label,
                     const QString& description);
