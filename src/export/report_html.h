#pragma once
// The teacher's report as one self-contained HTML page: styles, SVG charts
// and a few lines of sorting script inside, nothing loaded from elsewhere,
// every stored text escaped.

#include "export/class_report.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

enum class ReportLanguage { Russian, English };

// The page in UTF-8. `madeAt` is printed as the time the report was made.
QByteArray ReportHtml(const ClassReport& report, ReportLanguage language, const QDateTime& madeAt);

// The SVG of a small trend line of `values` (no axes), `label` its title.
QString SparklineSvg(const std::vector<double>& values, const QString& label,
                     const QString& description);
