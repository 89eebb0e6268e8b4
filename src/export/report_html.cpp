#include "export/report_html.h"

#include "export/visible_text.h"
#include "util/text.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// Most points a chart draws; more days fold into weeks or months, which
// also bounds the page: some 30 pupils x 4 ranges x 30 points.
constexpr int kChartPoints = 30;
constexpr int kSparkPoints = 24;

struct Texts {
    QString lang, title, folder, period, ranges, made, all, from, to, overview, overviewCaption,
        nick, fullName, exercises, rangeName, totalTime, totalPoints, best, latest, errorsPer,
        trend, last, places, placesCaption, place, of, noPlace, speed, speedUnit, errors,
        chartNumbers, date, noExercises, speedTitle, errorsTitle, trendTitle, trendDesc, chartDesc,
        xAxis, sortHint, none, incomplete;
};

Texts MakeTexts(ReportLanguage language)
{
    if (language == ReportLanguage::English)
        return Texts{"en",
                     "Class report",
                     "Class folder",
                     "Period",
                     "Ranges",
                     "Made",
                     "all",
                     "from %1",
                     "to %1",
                     "Class overview",
                     "One row per pupil. Sort by a column: press its header.",
                     "Nick",
                     "Full name",
                     "Exercises %1",
                     "0-%1",
                     "Total time",
                     "Total points",
                     "Best speed",
                     "Latest speed",
                     "Errors per exercise",
                     "Trend",
                     "Last exercise",
                     "Places in the records tables",
                     "Place of the best result in each records table, by time per point",
                     "Place",
                     "%1 of %2",
                     "not in the table",
                     "Speed",
                     "points per minute",
                     "Errors",
                     "Numbers of the charts",
                     "Date",
                     "No exercises in this period.",
                     "Speed, range 0-%1",
                     "Errors per exercise, range 0-%1",
                     "Speed trend of %1, range %2",
                     "Speed in points per minute over %1 periods: %2.",
                     "%1 over %2 periods from %3 to %4; lowest %5, highest %6, last %7.",
                     "Date",
                     "Press a column header to sort.",
                     "—",
                     "The report is incomplete: some files could not be read."};
    return Texts{"ru",
                 "Отчёт по классу",
                 "Папка класса",
                 "Период",
                 "Интервалы",
                 "Составлен",
                 "весь",
                 "с %1",
                 "по %1",
                 "Обзор класса",
                 "По строке на ученика. Чтобы упорядочить по столбцу, нажмите его заголовок.",
                 "Ник",
                 "ФИО",
                 "Упражнений %1",
                 "0-%1",
                 "Всего времени",
                 "Всего очков",
                 "Лучшая скорость",
                 "Последняя скорость",
                 "Ошибок на упражнение",
                 "Динамика",
                 "Последнее упражнение",
                 "Места в таблицах рекордов",
                 "Место лучшего результата в каждой таблице рекордов, по времени на пример",
                 "Место",
                 "%1 из %2",
                 "нет в таблице",
                 "Скорость",
                 "очков в минуту",
                 "Ошибки",
                 "Числа графиков",
                 "Дата",
                 "В этот период упражнений нет.",
                 "Скорость, интервал 0-%1",
                 "Ошибок на упражнение, интервал 0-%1",
                 "Динамика скорости: %1, интервал %2",
                 "Скорость в очках в минуту за %1 периодов: %2.",
                 "%1 за %2 периодов с %3 по %4; наименьшее %5, наибольшее %6, последнее %7.",
                 "Дата",
                 "Нажмите заголовок столбца, чтобы упорядочить.",
                 "—",
                 "Отчёт неполный: некоторые файлы не удалось прочитать."};
}

// A stored text (or a message naming a file) in the page: escaped, and with
// the characters that would act rather than show as U+FFFD.
QString E(const QString& text) { return VisibleText(text, Tabs::Replace).toHtmlEscaped(); }

QString Plain(double value) { return QString::number(value, 'f', 2); }

struct Writer {
    const ClassReport& report;
    Texts t;
    QLocale locale;
    QString html;
    QStringList ranges; // the columns: the ranges someone practised, else all

    QString number(double value, int decimals = 1) const
    {
        return locale.toString(value, 'f', decimals);
    }
    QString date(const QDate& day) const
    {
        return day.toString(t.lang == QLatin1String("ru") ? QStringLiteral("dd.MM.yyyy")
                                                          : QStringLiteral("yyyy-MM-dd"));
    }
    QString dateTime(const QDateTime& when) const
    {
        return date(when.date()) + QLatin1Char(' ') + when.time().toString(QStringLiteral("hh:mm"));
    }

    void head(const QDateTime& madeAt);
    void overview();
    void pupil(const PupilReport& pupil, int index);
    QString chart(const std::vector<SeriesPoint>& points, bool speed, const QString& title,
                  const QString& id);
};

const char* const kStyle = R"(
body{font-family:"DejaVu Sans",Arial,sans-serif;margin:1.5em;color:#111;background:#fff;line-height:1.35}
h1{font-size:1.6em}header dl{display:grid;grid-template-columns:max-content 1fr;gap:.15em 1em}dd{margin:0}
.wide{overflow-x:auto}#overview-table{font-size:.9em}h2{font-size:1.3em;margin-top:1.6em;border-bottom:1px solid #999}h3{font-size:1.05em}
table{border-collapse:collapse;margin:.5em 0}caption{text-align:left;font-style:italic;padding:.3em 0}
th,td{border:1px solid #bbb;padding:.2em .45em;vertical-align:middle}thead th{background:#eef}
td.n,table.numbers td{text-align:right;font-variant-numeric:tabular-nums}th[scope=row]{text-align:left;font-weight:normal}
th button{font:inherit;font-weight:bold;background:none;border:0;padding:0;cursor:pointer;text-align:left}
th[aria-sort=ascending] button::after{content:" \25B2"}th[aria-sort=descending] button::after{content:" \25BC"}
.charts{display:flex;flex-wrap:wrap;gap:1em;align-items:flex-start}svg.chart{width:100%;max-width:560px;height:auto}
svg text{font-size:11px;fill:#222}.axis{stroke:#444}.grid{stroke:#ddd}.speed{stroke:#1f5fbf}.errors{stroke:#bf3b1f}
.line{fill:none;stroke-width:2}.pt.speed{fill:#1f5fbf}.pt.errors{fill:#bf3b1f}.spark{fill:none;stroke:#1f5fbf;stroke-width:1.5}
.problems{border:2px solid #bf3b1f;padding:.5em}details{margin:.3em 0}
@media print{@page{size:A4;margin:15mm}body{margin:0;font-size:10pt}.wide{overflow:visible}#overview-table{font-size:8pt}section.pupil{break-before:page}
th button{cursor:auto}th[aria-sort] button::after{content:""}.charts{display:block}svg.chart{max-width:17cm}
table,svg{break-inside:avoid}}
)";

const char* const kScript = R"(
document.querySelectorAll('table.sortable').forEach(function(t){
 t.querySelectorAll('thead th').forEach(function(th,i){
  var b=document.createElement('button');b.type='button';b.textContent=th.textContent;th.textContent='';th.appendChild(b);
  b.addEventListener('click',function(){
   var up=th.getAttribute('aria-sort')!=='ascending',num=th.dataset.type==='number';
   t.querySelectorAll('thead th').forEach(function(h){h.removeAttribute('aria-sort');});
   th.setAttribute('aria-sort',up?'ascending':'descending');
   var rows=Array.prototype.slice.call(t.tBodies[0].rows);
   rows.sort(function(a,b){var x=a.cells[i].dataset.sort,y=b.cells[i].dataset.sort;
    var c=num?parseFloat(x)-parseFloat(y):x.localeCompare(y);return up?c:-c;});
   rows.forEach(function(r){t.tBodies[0].appendChild(r);});
  });
 });
});
)";

void Writer::head(const QDateTime& madeAt)
{
    html +=
        QStringLiteral(
            "<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
            "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>%2</title>\n<style>%3</style>\n</head>\n<body>\n<header>\n<h1>%2</h1>\n<dl>\n")
            .arg(t.lang, t.title, QString::fromUtf8(kStyle));
    const ReportFilter& filter = report.filter;
    QStringList period;
    if (filter.since)
        period << t.from.arg(date(*filter.since));
    if (filter.until)
        period << t.to.arg(date(*filter.until));
    QStringList ranges;
    for (const QString& range : filter.ranges)
        ranges << t.rangeName.arg(range);
    html +=
        QStringLiteral("<dt>%1</dt><dd>%2</dd>\n<dt>%3</dt><dd>%4</dd>\n<dt>%5</dt><dd>%6</dd>\n"
                       "<dt>%7</dt><dd>%8</dd>\n</dl>\n")
            .arg(t.folder, E(report.folder), t.period,
                 period.isEmpty() ? t.all : period.join(QLatin1Char(' ')), t.ranges,
                 ranges.join(QStringLiteral(", ")), t.made, dateTime(madeAt));
    if (!report.errors.isEmpty()) {
        html += QStringLiteral("<div class=\"problems\" role=\"alert\"><p>%1</p><ul>\n")
                    .arg(t.incomplete);
        for (const QString& error : report.errors)
            html += QStringLiteral("<li>%1</li>\n").arg(E(error));
        html += QStringLiteral("</ul></div>\n");
    }
    html += QStringLiteral("</header>\n<main>\n");
}

void Writer::overview()
{
    html +=
        QStringLiteral(
            "<section id=\"overview\">\n<h2>%1</h2>\n<div class=\"wide\"><table class=\"sortable\" "
            "id=\"overview-table\">\n"
            "<caption>%2</caption>\n<thead><tr>")
            .arg(t.overview, t.overviewCaption);
    auto header = [this](const QString& text, bool number) {
        html += QStringLiteral("<th scope=\"col\" data-type=\"%1\">%2</th>")
                    .arg(number ? QStringLiteral("number") : QStringLiteral("text"), text);
    };
    header(t.nick, false);
    header(t.fullName, false);
    for (const QString& range : ranges)
        header(t.exercises.arg(t.rangeName.arg(range)), true);
    header(t.totalTime, true);
    header(t.totalPoints, true);
    header(t.best, true);
    header(t.latest, true);
    header(t.errorsPer, true);
    header(t.trend, true);
    header(t.last, false);
    html += QStringLiteral("</tr></thead>\n<tbody>\n");

    int index = 0;
    for (const PupilReport& pupil : report.pupils) {
        ++index;
        auto cell = [this](const QString& sort, const QString& text) {
            html += QStringLiteral("<td class=\"n\" data-sort=\"%1\">%2</td>").arg(sort, text);
        };
        html += QStringLiteral(
                    "<tr><th scope=\"row\" data-sort=\"%1\"><a href=\"#pupil-%2\">%1</a></th>"
                    "<td data-sort=\"%3\">%3</td>")
                    .arg(E(pupil.nick), QString::number(index), E(pupil.fullName));
        for (const QString& rangeText : ranges) {
            const RangeReport* range = pupil.range(rangeText);
            const int count = range ? int(range->exercises.size()) : 0;
            cell(QString::number(count), QString::number(count));
        }
        const qint64 seconds = std::llround(pupil.totalSeconds());
        cell(QString::number(seconds), DurationText(seconds));
        cell(QString::number(pupil.totalPoints()), QString::number(pupil.totalPoints()));
        const bool any = pupil.exercises() > 0;
        cell(Plain(pupil.bestSpeed()), any ? number(pupil.bestSpeed()) : t.none);
        cell(Plain(pupil.latestSpeed()), any ? number(pupil.latestSpeed()) : t.none);
        cell(Plain(pupil.errorsPerExercise()), any ? number(pupil.errorsPerExercise(), 2) : t.none);

        // The trend of the range practised most: speeds of different ranges
        // do not compare.
        const RangeReport* main = nullptr;
        for (const RangeReport& range : pupil.ranges)
            if (!main || range.exercises.size() > main->exercises.size())
                main = &range;
        const std::vector<SeriesPoint> trend =
            main ? DateSeries(main->exercises, kSparkPoints) : std::vector<SeriesPoint>();
        std::vector<double> values;
        QStringList numbers;
        for (const SeriesPoint& point : trend) {
            values.push_back(point.speed);
            numbers << date(point.date) + QStringLiteral(": ") + number(point.speed);
        }
        const double change = values.size() > 1 ? values.back() - values.front() : 0.0;
        html += QStringLiteral("<td data-sort=\"%1\">%2</td>")
                    .arg(Plain(change),
                         values.empty()
                             ? t.none
                             : SparklineSvg(values,
                                            t.trendTitle.arg(E(pupil.nick),
                                                             t.rangeName.arg(main->rangeText)),
                                            t.trendDesc.arg(values.size())
                                                .arg(numbers.join(QStringLiteral("; ")))));
        const QDateTime last = pupil.lastExercise();
        html += QStringLiteral("<td data-sort=\"%1\">%2</td></tr>\n")
                    .arg(last.isValid() ? last.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"))
                                        : QString(),
                         last.isValid() ? dateTime(last) : t.none);
    }
    html += QStringLiteral("</tbody>\n</table></div>\n<p>%1</p>\n</section>\n").arg(t.sortHint);
}

QString Writer::chart(const std::vector<SeriesPoint>& points, bool speed, const QString& title,
                      const QString& id)
{
    const int width = 560, height = 220, left = 44, right = 12, top = 28, bottom = 36;
    const int plotWidth = width - left - right, plotHeight = height - top - bottom;
    double top_value = 0;
    for (const SeriesPoint& point : points)
        top_value = std::max(top_value, speed ? point.speed : point.errors);
    // A round top of the scale: 1, 2 or 5 times a power of ten.
    // A round top of the scale, 1, 2 or 5 times a power of ten, in round
    // steps: fifths of 1 and 5, quarters of 2.
    double power = 1, scale = 1;
    int steps = 5;
    if (top_value > 0) {
        power = std::pow(10.0, std::floor(std::log10(top_value)));
        const double mantissa = top_value <= power       ? 1
                                : top_value <= 2 * power ? 2
                                : top_value <= 5 * power ? 5
                                                         : 10;
        if (mantissa == 10)
            power *= 10;
        scale = (mantissa == 10 ? 1 : mantissa) * power;
        steps = mantissa == 2 ? 4 : 5;
    }
    const double step = scale / steps;
    const int decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
    const qint64 first = points.front().date.toJulianDay();
    const qint64 span = points.back().date.toJulianDay() - first;
    auto x = [&](const QDate& day) {
        return span == 0 ? left + plotWidth / 2.0
                         : left + plotWidth * double(day.toJulianDay() - first) / span;
    };
    // A negative count (a damaged record) stays on the axis.
    auto y = [&](double value) { return top + plotHeight * (1.0 - std::max(0.0, value) / scale); };
    const QString kind = speed ? QStringLiteral("speed") : QStringLiteral("errors");
    const QString seriesName = speed ? t.speed + QStringLiteral(", ") + t.speedUnit : t.errorsPer;

    double low = speed ? points.front().speed : points.front().errors, high = low;
    for (const SeriesPoint& point : points) {
        const double value = speed ? point.speed : point.errors;
        low = std::min(low, value);
        high = std::max(high, value);
    }
    const double lastValue = speed ? points.back().speed : points.back().errors;
    const QString description = t.chartDesc.arg(seriesName)
                                    .arg(points.size())
                                    .arg(date(points.front().date), date(points.back().date),
                                         number(low, 2), number(high, 2), number(lastValue, 2));

    QString svg =
        QStringLiteral("<svg class=\"chart\" id=\"%1\" role=\"img\" viewBox=\"0 0 %2 %3\" "
                       "aria-labelledby=\"%1-t %1-d\">"
                       "<title id=\"%1-t\">%4</title><desc id=\"%1-d\">%5</desc>\n")
            .arg(id)
            .arg(width)
            .arg(height)
            .arg(title, description);
    for (int i = 0; i <= steps; ++i) {
        const double value = step * i;
        const double at = y(value);
        svg += QStringLiteral("<line class=\"grid\" x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\"/>"
                              "<text x=\"%4\" y=\"%5\" text-anchor=\"end\">%6</text>\n")
                   .arg(left)
                   .arg(at, 0, 'f', 1)
                   .arg(left + plotWidth)
                   .arg(left - 4)
                   .arg(at + 4, 0, 'f', 1)
                   .arg(number(value, decimals));
    }
    svg += QStringLiteral("<line class=\"axis\" x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\"/>"
                          "<line class=\"axis\" x1=\"%1\" y1=\"%3\" x2=\"%4\" y2=\"%3\"/>\n")
               .arg(left)
               .arg(top)
               .arg(top + plotHeight)
               .arg(left + plotWidth);
    // Dates under the axis: the first, the last and up to three between.
    const int labels = std::min<int>(5, int(points.size()));
    for (int i = 0; i < labels; ++i) {
        const SeriesPoint& point = points[labels == 1 ? 0 : i * (points.size() - 1) / (labels - 1)];
        const QString anchor = labels == 1       ? QStringLiteral("middle")
                               : i == 0          ? QStringLiteral("start")
                               : i == labels - 1 ? QStringLiteral("end")
                                                 : QStringLiteral("middle");
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"%3\">%4</text>\n")
                   .arg(x(point.date), 0, 'f', 1)
                   .arg(top + plotHeight + 16)
                   .arg(anchor, date(point.date));
    }
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">%3</text>\n")
               .arg(left + plotWidth / 2)
               .arg(height - 4)
               .arg(t.xAxis);
    QStringList coordinates;
    QString dots;
    for (const SeriesPoint& point : points) {
        const double value = speed ? point.speed : point.errors;
        const QString at =
            QStringLiteral("%1,%2").arg(x(point.date), 0, 'f', 1).arg(y(value), 0, 'f', 1);
        coordinates << at;
        dots +=
            QStringLiteral("<circle class=\"pt %1\" cx=\"%2\" cy=\"%3\" r=\"3\" data-date=\"%4\" "
                           "data-value=\"%5\"/>")
                .arg(kind, at.section(QLatin1Char(','), 0, 0), at.section(QLatin1Char(','), 1, 1),
                     point.date.toString(Qt::ISODate), Plain(value));
    }
    svg += QStringLiteral("<polyline class=\"line %1\" points=\"%2\"/>\n%3\n")
               .arg(kind, coordinates.join(QLatin1Char(' ')), dots);
    // The legend, top left.
    svg +=
        QStringLiteral(
            "<g class=\"legend\"><line class=\"line %1\" x1=\"%2\" y1=\"12\" x2=\"%3\" y2=\"12\"/>"
            "<text x=\"%4\" y=\"16\">%5</text></g>\n</svg>\n")
            .arg(kind)
            .arg(left)
            .arg(left + 24)
            .arg(left + 30)
            .arg(seriesName);
    return svg;
}

void Writer::pupil(const PupilReport& pupil, int index)
{
    const QString name = pupil.fullName.isEmpty()
                             ? E(pupil.nick)
                             : E(pupil.nick) + QStringLiteral(" — ") + E(pupil.fullName);
    html +=
        QStringLiteral("<section class=\"pupil\" id=\"pupil-%1\" aria-labelledby=\"pupil-%1-h\">\n"
                       "<h2 id=\"pupil-%1-h\">%2</h2>\n")
            .arg(index)
            .arg(name);
    html +=
        QStringLiteral(
            "<table class=\"places\"><caption>%1</caption>\n<thead><tr><th scope=\"col\">%2</th>"
            "<th scope=\"col\">%3</th><th scope=\"col\">%4</th></tr></thead>\n<tbody>\n")
            .arg(t.placesCaption, t.ranges, t.place, t.exercises.arg(QString()).trimmed());
    for (const QString& rangeText : ranges) {
        const RangeReport* range = pupil.range(rangeText);
        const QString place =
            range && range->place > 0 ? t.of.arg(range->place).arg(range->tableSize) : t.noPlace;
        html += QStringLiteral("<tr><th scope=\"row\">%1</th><td class=\"n\">%2</td><td "
                               "class=\"n\">%3</td></tr>\n")
                    .arg(t.rangeName.arg(rangeText), place)
                    .arg(range ? int(range->exercises.size()) : 0);
    }
    html += QStringLiteral("</tbody>\n</table>\n");

    bool any = false;
    for (const RangeReport& range : pupil.ranges) {
        if (range.exercises.empty())
            continue;
        any = true;
        const std::vector<SeriesPoint> points = DateSeries(range.exercises, kChartPoints);
        const QString id = QStringLiteral("c%1-%2").arg(index).arg(range.rangeText);
        html += QStringLiteral("<h3>%1</h3>\n<div class=\"charts\">\n")
                    .arg(t.rangeName.arg(range.rangeText));
        html += chart(points, true, t.speedTitle.arg(range.rangeText), id + QStringLiteral("-s"));
        html += chart(points, false, t.errorsTitle.arg(range.rangeText), id + QStringLiteral("-e"));
        html += QStringLiteral("<details><summary>%1</summary>\n<table "
                               "class=\"numbers\"><caption>%1, %2</caption>\n"
                               "<thead><tr><th scope=\"col\">%3</th><th scope=\"col\">%4</th><th "
                               "scope=\"col\">%5</th>"
                               "<th scope=\"col\">%6</th></tr></thead>\n<tbody>\n")
                    .arg(t.chartNumbers, t.rangeName.arg(range.rangeText), t.date,
                         t.exercises.arg(QString()).trimmed(),
                         t.speed + QStringLiteral(", ") + t.speedUnit, t.errorsPer);
        for (const SeriesPoint& point : points)
            html += QStringLiteral(
                        "<tr><th scope=\"row\">%1</th><td>%2</td><td>%3</td><td>%4</td></tr>\n")
                        .arg(date(point.date))
                        .arg(point.exercises)
                        .arg(number(point.speed), number(point.errors, 2));
        html += QStringLiteral("</tbody>\n</table>\n</details>\n</div>\n");
    }
    if (!any)
        html += QStringLiteral("<p>%1</p>\n").arg(t.noExercises);
    html += QStringLiteral("</section>\n");
}

} // namespace

QString SparklineSvg(const std::vector<double>& values, const QString& label,
                     const QString& description)
{
    const int width = 100, height = 24;
    double high = 0;
    for (double value : values)
        high = std::max(high, value);
    QStringList coordinates;
    for (size_t i = 0; i < values.size(); ++i) {
        const double x =
            values.size() == 1 ? width / 2.0 : 2 + (width - 4) * double(i) / (values.size() - 1);
        const double y = high <= 0 ? height - 2 : 2 + (height - 4) * (1.0 - values[i] / high);
        coordinates << QStringLiteral("%1,%2").arg(x, 0, 'f', 1).arg(y, 0, 'f', 1);
    }
    if (values.size() == 1)
        coordinates << QStringLiteral("%1,%2")
                           .arg(width / 2.0 + 1, 0, 'f', 1)
                           .arg(coordinates.first().section(QLatin1Char(','), 1));
    return QStringLiteral("<svg class=\"sparkline\" role=\"img\" width=\"%1\" height=\"%2\" "
                          "viewBox=\"0 0 %1 %2\""
                          "><title>%3</title><desc>%4</desc>"
                          "<polyline class=\"spark\" points=\"%5\"/></svg>")
        .arg(width)
        .arg(height)
        .arg(label, description, coordinates.join(QLatin1Char(' ')));
}

qsizetype ReportReservation(size_t pupils)
{
    constexpr qsizetype kPage = 4096, kPerPupil = 16384, kMost = qsizetype(8) << 20;
    const size_t counted = std::min(pupils, size_t(kMost / kPerPupil));
    return std::min(kMost, kPage + qsizetype(counted) * kPerPupil);
}

QByteArray ReportHtml(const ClassReport& report, ReportLanguage language, const QDateTime& madeAt)
{
    Writer writer{
        report, MakeTexts(language),
        QLocale(language == ReportLanguage::English ? QLocale::English : QLocale::Russian),
        QString(), QStringList()};
    writer.locale.setNumberOptions(QLocale::OmitGroupSeparator);
    for (const QString& rangeText : report.filter.ranges)
        for (const PupilReport& pupil : report.pupils)
            if (const RangeReport* range = pupil.range(rangeText);
                range && !range->exercises.empty()) {
                writer.ranges << rangeText;
                break;
            }
    if (writer.ranges.isEmpty())
        writer.ranges = report.filter.ranges;
    writer.html.reserve(ReportReservation(report.pupils.size()));
    writer.head(madeAt);
    writer.overview();
    int index = 0;
    for (const PupilReport& pupil : report.pupils)
        writer.pupil(pupil, ++index);
    writer.html += QStringLiteral("</main>\n<script>%1</script>\n</body>\n</html>\n")
                       .arg(QString::fromUtf8(kScript));
    return writer.html.toUtf8();
}
