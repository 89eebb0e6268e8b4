#include "export/report_html.h"

#include "export/report_texts.h"
#include "export/visible_text.h"
#include "util/text.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>

namespace {

// Most points a chart draws; more days fold into weeks or months, which
// also bounds the page: some 30 pupils x 4 ranges x 30 points.
constexpr int kChartPoints = 30;
constexpr int kSparkPoints = 24;
// Most bars of the class's exercises per day (two months), else per week and so on.
constexpr int kBars = 62;

// A stored text (or a message naming a file) in the page: escaped, and with
// the characters that would act rather than show as U+FFFD.
QString E(const QString& text) { return VisibleText(text, Tabs::Replace).toHtmlEscaped(); }

QString Plain(double value) { return QString::number(value, 'f', 2); }

struct Writer {
    const ClassReport& report;
    ReportTexts t;
    QLocale locale;
    bool summaryOnly = false;
    QString html;
    QStringList ranges; // the ranges someone practised, else all

    QString number(double value, int decimals = 1) const
    {
        return locale.toString(value, 'f', decimals);
    }
    // A change with its sign: "+3,2", "−1,0"; no sign for 0.
    QString signedNumber(double value) const
    {
        const QString text = number(std::abs(value));
        if (text == number(0.0))
            return text;
        return (value > 0 ? QStringLiteral("+") : QStringLiteral("−")) + text;
    }
    // A chart's horizontal grid lines, `steps` + 1 of them `step` apart from
    // 0, each with its value left of the axis; `y` places a value.
    template <typename Left, typename Width, typename Place>
    QString gridLines(Left left, Width plotWidth, int steps, double step, Place y,
                      int decimals) const
    {
        QString svg;
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
        return svg;
    }
    // The sentence naming a pupil whose profile's totals differ from the tables'.
    QString totalsDifferText(const PupilReport& pupil) const
    {
        return t.totalsDiffer.arg(E(pupil.nick), DurationText(*pupil.profileSeconds),
                                  QString::number(*pupil.profilePoints),
                                  DurationText(std::llround(pupil.totalSeconds())),
                                  QString::number(pupil.totalPoints()));
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
    QString weekText() const
    {
        return date(report.weekStart()) + QStringLiteral("–") + date(report.day);
    }
    bool inWeek(const RangeReport& range) const
    {
        return range.exercisesIn(report.weekStart(), report.day) > 0;
    }
    // The reasons for attention of a range, one per rule; empty: none.
    QStringList reasons(const RangeReport& range) const;
    // Those of every range of the pupil.
    QStringList attention(const PupilReport& pupil) const;

    void head(const QDateTime& madeAt);
    void overview();
    void classActivity();
    void medians();
    void notes();
    void pupil(const PupilReport& pupil, int index);
    QString chart(const std::vector<SeriesPoint>& points, bool speed, const QString& title,
                  const QString& id);
    QString barChart(const std::vector<SeriesPoint>& bars, const QString& title, const QString& id);
};

const char* const kStyle = R"(
body{font-family:"DejaVu Sans",Arial,sans-serif;margin:1.5em;color:#111;background:#fff;line-height:1.35}
h1{font-size:1.6em}header dl{display:grid;grid-template-columns:max-content 1fr;gap:.15em 1em}dd{margin:0}
.wide{overflow-x:auto}#overview-table{font-size:.85em}td.attention{min-width:14em}h2{font-size:1.3em;margin-top:1.6em;border-bottom:1px solid #999}h3{font-size:1.05em}
table{border-collapse:collapse;margin:.5em 0}caption{text-align:left;font-style:italic;padding:.3em 0}
th,td{border:1px solid #bbb;padding:.2em .45em;vertical-align:middle}thead th{background:#eef}
td.n,table.numbers td{text-align:right;font-variant-numeric:tabular-nums}th[scope=row]{text-align:left;font-weight:normal}
th button{font:inherit;font-weight:bold;background:none;border:0;padding:0;cursor:pointer;text-align:left}
th[aria-sort=ascending] button::after{content:" \25B2"}th[aria-sort=descending] button::after{content:" \25BC"}
.idle{background:#fde8e0;font-weight:bold}.attention{background:#fff3c4}tfoot th,tfoot td{background:#f2f2f2;font-style:italic}
.notes{font-size:.85em;color:#333}.notes p{margin:.2em 0}
.charts{display:flex;flex-wrap:wrap;gap:1em;align-items:flex-start}svg.chart{width:100%;max-width:560px;height:auto}
svg.bars{width:100%;max-width:760px;height:auto}.bar{fill:#1f5fbf}.bar.week{fill:#bf3b1f}
svg text{font-size:11px;fill:#222}.axis{stroke:#444}.grid{stroke:#ddd}.speed{stroke:#1f5fbf}.errors{stroke:#bf3b1f}
.line{fill:none;stroke-width:2}.pt.speed{fill:#1f5fbf}.pt.errors{fill:#bf3b1f}.spark{fill:none;stroke:#1f5fbf;stroke-width:1.5}
svg.sparkline{width:64px;height:18px;vertical-align:middle}
.problems{border:2px solid #bf3b1f;padding:.5em}details{margin:.3em 0}
@media print{@page{size:A4;margin:10mm}body{margin:0;font-size:8pt;line-height:1.2}.wide{overflow:visible}
header dl{display:block}header dt,header dd{display:inline}header dd{margin-right:1.2em}header dt::after{content:":"}
#overview-table{font-size:7pt;margin:.2em 0}#overview-table thead th{font-size:6.5pt}#overview-table th,#overview-table td{padding:.05em .2em}
h1{font-size:1.3em;margin:0 0 .2em}h2{font-size:1.1em;margin:.5em 0 .2em}p{margin:.25em 0}
svg.sparkline{display:none}svg.bars{max-width:18cm;height:2.4cm}.notes{font-size:6.5pt}td.attention{min-width:13em}
#overview-table tbody td:nth-child(2){white-space:nowrap}
section.pupil{break-inside:avoid}
th button{cursor:auto}th[aria-sort] button::after{content:""}details{display:none}.charts{gap:.3cm}svg.chart{width:8.8cm;max-width:8.8cm}
table,svg{break-inside:avoid}#overview-table{break-inside:auto}.sort-hint{display:none}}
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

// A round top of a chart's scale, 1, 2 or 5 times a power of ten, in round
// steps: fifths of 1 and 5, quarters of 2.
void RoundScale(double topValue, double& scale, int& steps)
{
    double power = 1;
    scale = 1;
    steps = 5;
    if (topValue <= 0)
        return;
    power = std::pow(10.0, std::floor(std::log10(topValue)));
    const double mantissa = topValue <= power       ? 1
                            : topValue <= 2 * power ? 2
                            : topValue <= 5 * power ? 5
                                                    : 10;
    if (mantissa == 10)
        power *= 10;
    scale = (mantissa == 10 ? 1 : mantissa) * power;
    steps = mantissa == 2 ? 4 : 5;
}

QStringList Writer::reasons(const RangeReport& range) const
{
    QStringList reasons;
    const Attention found = AttentionOf(range.exercises, inWeek(range));
    const QString name = t.rangeName.arg(range.rangeText);
    if (found.noFaster)
        reasons << t.noFaster.arg(name, number(found.speedBefore), number(found.speedLast));
    if (found.moreErrors)
        reasons << t.moreErrors.arg(name, number(found.errorsBefore, 2),
                                    number(found.errorsLast, 2));
    return reasons;
}

QStringList Writer::attention(const PupilReport& pupil) const
{
    QStringList all;
    for (const RangeReport& range : pupil.ranges)
        all << reasons(range);
    return all;
}

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
        QStringLiteral("<dt>%1</dt><dd>%2</dd>\n<dt>%3</dt><dd>%4</dd>\n<dt>%5</dt><dd>%6</dd>\n")
            .arg(t.folder, E(report.folder), t.period,
                 period.isEmpty() ? t.all : period.join(QLatin1Char(' ')), t.ranges,
                 ranges.join(QStringLiteral(", ")));
    html += QStringLiteral("<dt>%1</dt><dd id=\"week\">%2</dd>\n<dt>%3</dt><dd>%4</dd>\n</dl>\n")
                .arg(t.week, weekText(), t.made, dateTime(madeAt));
    if (!report.errors.isEmpty()) {
        html += QStringLiteral("<div class=\"problems\" role=\"alert\"><p>%1</p><ul>\n")
                    .arg(t.incomplete);
        for (const QString& error : report.errors)
            html += QStringLiteral("<li>%1</li>\n").arg(E(error));
        html += QStringLiteral("</ul></div>\n");
    }
    html += QStringLiteral("</header>\n<main>\n");
}

// Who practised in the week, who did not, and the class's exercises per day.
void Writer::classActivity()
{
    int practised = 0, exercises = 0;
    QStringList idle;
    std::vector<QDate> days;
    QDate first, last;
    for (const PupilReport& pupil : report.pupils) {
        const int week = pupil.exercisesIn(report.weekStart(), report.day);
        exercises += week;
        if (week > 0) {
            ++practised;
        } else {
            const QDateTime before = pupil.lastExerciseBy(report.day);
            idle << (before.isValid() ? t.idleLast.arg(E(pupil.nick), date(before.date()))
                                      : t.idleNever.arg(E(pupil.nick)));
        }
        for (const RangeReport& range : pupil.ranges)
            for (const ReportExercise& exercise : range.exercises) {
                const QDate day = exercise.finishedAt.date();
                days.push_back(day);
                if (!first.isValid() || day < first)
                    first = day;
                if (!last.isValid() || day > last)
                    last = day;
            }
    }
    html += QStringLiteral("<p id=\"class-week\">%1</p>\n")
                .arg(t.classWeek.arg(weekText(), QString::number(practised),
                                     QString::number(report.pupils.size()),
                                     QString::number(exercises)));
    if (!idle.isEmpty())
        html += QStringLiteral("<p id=\"idle-list\" class=\"idle\">%1</p>\n")
                    .arg(t.idleList.arg(idle.join(QStringLiteral(", "))));
    if (days.empty()) {
        html += QStringLiteral("<p>%1</p>\n").arg(t.noClassExercises);
        return;
    }
    // From the period's first day to its last, or to the report's day.
    if (report.filter.since)
        first = *report.filter.since;
    last = report.filter.until ? *report.filter.until : std::max(last, report.day);
    const std::vector<SeriesPoint> bars = ExercisesPerPeriod(days, first, last, kBars);
    if (bars.empty())
        return;
    const qint64 span = bars.size() > 1 ? bars[0].date.daysTo(bars[1].date) : 1;
    const QString per = span == 1   ? t.classChartDay
                        : span == 7 ? t.classChartWeek
                                    : t.classChartLonger;
    html += barChart(bars, t.classChart.arg(per), QStringLiteral("class-activity"));
}

void Writer::overview()
{
    html += QStringLiteral("<section id=\"overview\">\n<h2>%1</h2>\n").arg(t.overview);
    classActivity();
    html += QStringLiteral("<div class=\"wide\"><table class=\"sortable\" id=\"overview-table\">\n"
                           "<caption>%1</caption>\n<thead><tr>")
                .arg(t.overviewCaption);
    auto header = [this](const QString& text, bool number) {
        html += QStringLiteral("<th scope=\"col\" data-type=\"%1\">%2</th>")
                    .arg(number ? QStringLiteral("number") : QStringLiteral("text"), text);
    };
    header(t.nick, false);
    header(t.fullName, false);
    header(t.weekExercises, true);
    header(t.allExercises, true);
    header(t.daysSince, true);
    header(t.mainRange, false);
    header(t.best, true);
    header(t.latest, true);
    header(t.change, true);
    header(t.errorsPer10, true);
    header(t.totalTime, true);
    header(t.totalPoints, true);
    header(t.attention, true);
    html += QStringLiteral("</tr></thead>\n<tbody>\n");

    const bool compareTotals =
        !report.filter.since && !report.filter.until && !report.filter.rangeNamed;
    int index = 0;
    for (const PupilReport& pupil : report.pupils) {
        ++index;
        auto cell = [this](const QString& sort, const QString& text,
                           const QString& extra = QString()) {
            html +=
                QStringLiteral("<td class=\"n%1\" data-sort=\"%2\">%3</td>").arg(extra, sort, text);
        };
        const QString nick = summaryOnly ? E(pupil.nick)
                                         : QStringLiteral("<a href=\"#pupil-%1\">%2</a>")
                                               .arg(QString::number(index), E(pupil.nick));
        html += QStringLiteral("<tr><th scope=\"row\" data-sort=\"%1\">%2</th>"
                               "<td data-sort=\"%3\">%3</td>")
                    .arg(E(pupil.nick), nick, E(pupil.fullName));
        const int week = pupil.exercisesIn(report.weekStart(), report.day);
        if (week > 0)
            cell(QString::number(week), QString::number(week));
        else
            cell(QStringLiteral("0"), QStringLiteral("0 — ") + t.idle, QStringLiteral(" idle"));
        cell(QString::number(pupil.exercises()), QString::number(pupil.exercises()));
        const QDateTime last = pupil.lastExerciseBy(report.day);
        if (last.isValid()) {
            const qint64 days = last.date().daysTo(report.day);
            html += QStringLiteral("<td class=\"n\" data-sort=\"%1\" title=\"%2\">%1</td>")
                        .arg(QString::number(days), dateTime(last));
        } else {
            cell(QStringLiteral("999999"), t.none);
        }

        const RangeReport* main = pupil.mainRange();
        // A pupil who moved to another range: the range of the last exercise too.
        const RangeReport* latest = nullptr;
        for (const RangeReport& range : pupil.ranges)
            if (!range.exercises.empty() && (!latest || range.exercises.back().finishedAt >
                                                            latest->exercises.back().finishedAt))
                latest = &range;
        QString rangeCell = main ? t.rangeName.arg(main->rangeText) : t.none;
        if (main && latest != main)
            rangeCell = t.nowRange.arg(rangeCell, t.rangeName.arg(latest->rangeText));
        html += QStringLiteral("<td data-sort=\"%1\">%2</td>")
                    .arg(main ? main->rangeText.rightJustified(3, QLatin1Char('0')) : QString(),
                         rangeCell);
        if (main) {
            cell(Plain(main->bestSpeed()), number(main->bestSpeed()));
            cell(Plain(main->latestSpeed()), number(main->latestSpeed()));
            const SpeedChange change = SpeedChangeOf(main->exercises);
            // The speed's course in the main range, drawn beside its change.
            const std::vector<SeriesPoint> trend = DateSeries(main->exercises, kSparkPoints);
            std::vector<double> values;
            QStringList numbers;
            for (const SeriesPoint& point : trend) {
                values.push_back(point.speed);
                numbers << date(point.date) + QStringLiteral(": ") + number(point.speed);
            }
            const QString spark = SparklineSvg(
                values, t.trendTitle.arg(E(pupil.nick), t.rangeName.arg(main->rangeText)),
                t.trendDesc.arg(QString::number(values.size()),
                                numbers.join(QStringLiteral("; "))));
            html += QStringLiteral("<td class=\"n\" data-sort=\"%1\">%2 %3</td>")
                        .arg(change.group > 0 ? Plain(change.change()) : QStringLiteral("0"),
                             change.group > 0 ? signedNumber(change.change()) : t.none, spark);
            cell(Plain(main->errorsPer10Points()), number(main->errorsPer10Points(), 2));
        } else {
            for (int i = 0; i < 4; ++i)
                cell(QStringLiteral("0"), t.none);
        }
        const qint64 seconds = std::llround(pupil.totalSeconds());
        cell(QString::number(seconds), DurationText(seconds));
        const bool differ = compareTotals && pupil.profileTotalsDiffer();
        cell(QString::number(pupil.totalPoints()),
             QString::number(pupil.totalPoints()) + (differ ? QStringLiteral(" *") : QString()));
        const QStringList reasons = attention(pupil);
        if (reasons.isEmpty())
            html += QStringLiteral("<td data-sort=\"0\"></td></tr>\n");
        else
            html += QStringLiteral("<td class=\"attention\" data-sort=\"%1\"><strong>%2:</strong> "
                                   "%3</td></tr>\n")
                        .arg(QString::number(reasons.size()), t.attention,
                             reasons.join(QStringLiteral("; ")));
    }
    html += QStringLiteral("</tbody>\n");
    medians();
    html += QStringLiteral("</table></div>\n");
    notes();
    html += QStringLiteral("<p class=\"sort-hint\">%1</p>\n</section>\n").arg(t.sortHint);
}

// The class's median of each column: the counts over every pupil, the
// speeds and errors over the pupils of one main range, never across ranges.
void Writer::medians()
{
    std::vector<double> week, all, days, seconds, points;
    std::map<QString, std::vector<const RangeReport*>> byRange;
    for (const PupilReport& pupil : report.pupils) {
        week.push_back(pupil.exercisesIn(report.weekStart(), report.day));
        all.push_back(pupil.exercises());
        const QDateTime last = pupil.lastExerciseBy(report.day);
        if (last.isValid())
            days.push_back(double(last.date().daysTo(report.day)));
        seconds.push_back(std::round(pupil.totalSeconds()));
        points.push_back(double(pupil.totalPoints()));
        if (const RangeReport* main = pupil.mainRange())
            byRange[main->rangeText].push_back(main);
    }
    if (report.pupils.empty())
        return;
    auto cell = [this](const QString& text) {
        html += QStringLiteral("<td class=\"n\">%1</td>").arg(text);
    };
    auto rangeCells = [&](const std::vector<const RangeReport*>& mains) {
        std::vector<double> best, latest, change, errors;
        for (const RangeReport* range : mains) {
            best.push_back(range->bestSpeed());
            latest.push_back(range->latestSpeed());
            const SpeedChange found = SpeedChangeOf(range->exercises);
            if (found.group > 0)
                change.push_back(found.change());
            errors.push_back(range->errorsPer10Points());
        }
        cell(number(Median(best)));
        cell(number(Median(latest)));
        cell(change.empty() ? t.none : signedNumber(Median(change)));
        cell(number(Median(errors), 2));
    };
    html += QStringLiteral("<tfoot>\n<tr class=\"median\"><th scope=\"row\" colspan=\"2\">%1</th>")
                .arg(t.median);
    // A median of counts is whole or a half.
    auto count = [this](double value) { return number(value, value == std::floor(value) ? 0 : 1); };
    cell(count(Median(week)));
    cell(count(Median(all)));
    cell(days.empty() ? t.none : count(Median(days)));
    if (byRange.size() == 1) {
        cell(t.rangeName.arg(byRange.begin()->first));
        rangeCells(byRange.begin()->second);
    } else {
        for (int i = 0; i < 5; ++i)
            cell(QString());
    }
    cell(DurationText(std::llround(Median(seconds))));
    cell(count(Median(points)));
    html += QStringLiteral("<td></td></tr>\n");
    if (byRange.size() > 1)
        for (const QString& rangeText : RangeTexts()) {
            const auto found = byRange.find(rangeText);
            if (found == byRange.end())
                continue;
            html += QStringLiteral("<tr class=\"median\"><th scope=\"row\" colspan=\"5\">%1</th>")
                        .arg(t.medianRange.arg(t.rangeName.arg(rangeText),
                                               QString::number(found->second.size())));
            cell(t.rangeName.arg(rangeText));
            rangeCells(found->second);
            html += QStringLiteral("<td></td><td></td><td></td></tr>\n");
        }
    html += QStringLiteral("</tfoot>\n");
}

// How to read the table: the units, the rules of the figures and marks, and
// where the totals differ from the program's.
void Writer::notes()
{
    html += QStringLiteral("<div class=\"notes\">\n");
    for (const auto& [id, text] : std::initializer_list<std::pair<QString, QString>>{
             {QStringLiteral("note-speed"), t.noteSpeed},
             {QStringLiteral("note-errors"), t.noteErrors},
             {QStringLiteral("note-range"), t.noteRange},
             {QStringLiteral("note-change"), t.noteChange.arg(QString::number(kProgressGroup),
                                                              QString::number(2 * kProgressGroup))},
             {QStringLiteral("note-attention"),
              t.noteAttention.arg(QString::number(2 * kProgressGroup),
                                  QString::number(kProgressGroup), number(kErrorRise))},
             {QStringLiteral("note-totals"), t.noteTotals}})
        html += QStringLiteral("<p id=\"%1\">%2</p>\n").arg(id, text);
    if (report.filter.since || report.filter.until || report.filter.rangeNamed) {
        html += QStringLiteral("<p>%1</p>\n").arg(t.noteTotalsFiltered);
    } else {
        QString list;
        for (const PupilReport& pupil : report.pupils)
            if (pupil.profileTotalsDiffer())
                list += QStringLiteral("<li>%1</li>\n").arg(totalsDifferText(pupil));
        if (!list.isEmpty())
            html += QStringLiteral("<p>%1</p>\n<ul id=\"totals-differ\">\n%2</ul>\n")
                        .arg(t.totalsDifferMark, list);
    }
    html += QStringLiteral("</div>\n");
}

QString Writer::chart(const std::vector<SeriesPoint>& points, bool speed, const QString& title,
                      const QString& id)
{
    const int width = 560, height = 220, left = 44, right = 12, top = 28, bottom = 36;
    const int plotWidth = width - left - right, plotHeight = height - top - bottom;
    double top_value = 0;
    for (const SeriesPoint& point : points)
        top_value = std::max(top_value, speed ? point.speed : point.errors);
    double scale = 1;
    int steps = 5;
    RoundScale(top_value, scale, steps);
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
    const QString seriesName = speed ? t.speed + QStringLiteral(", ") + t.speedUnit : t.errorsPer10;

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
    svg += gridLines(left, plotWidth, steps, step, y, decimals);
    svg += QStringLiteral("<line class=\"axis\" x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\"/>"
                          "<line class=\"axis\" x1=\"%1\" y1=\"%3\" x2=\"%4\" y2=\"%3\"/>\n")
               .arg(left)
               .arg(top)
               .arg(top + plotHeight)
               .arg(left + plotWidth);
    // Dates under the axis: the first, the last and up to three between,
    // evenly spaced along it so that days close together never overlap.
    const qint64 labels = span == 0 ? 1 : std::min<qint64>(5, span + 1);
    for (qint64 i = 0; i < labels; ++i) {
        const QDate day = QDate::fromJulianDay(
            labels == 1 ? first : first + std::llround(double(span) * i / (labels - 1)));
        const QString anchor = labels == 1       ? QStringLiteral("middle")
                               : i == 0          ? QStringLiteral("start")
                               : i == labels - 1 ? QStringLiteral("end")
                                                 : QStringLiteral("middle");
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"%3\">%4</text>\n")
                   .arg(x(day), 0, 'f', 1)
                   .arg(top + plotHeight + 16)
                   .arg(anchor, date(day));
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

QString Writer::barChart(const std::vector<SeriesPoint>& bars, const QString& title,
                         const QString& id)
{
    const int width = 760, height = 170, left = 44, right = 12, top = 12, bottom = 36;
    const int plotWidth = width - left - right, plotHeight = height - top - bottom;
    int most = 0, sum = 0;
    for (const SeriesPoint& bar : bars) {
        most = std::max(most, bar.exercises);
        sum += bar.exercises;
    }
    double scale = 1;
    int steps = 5;
    RoundScale(std::max(most, 5), scale, steps);
    const double step = scale / steps;
    const double slot = double(plotWidth) / bars.size();
    auto y = [&](double value) { return top + plotHeight * (1.0 - value / scale); };
    QString svg = QStringLiteral("<svg class=\"bars\" id=\"%1\" role=\"img\" viewBox=\"0 0 %2 %3\" "
                                 "aria-labelledby=\"%1-t %1-d\">"
                                 "<title id=\"%1-t\">%4</title><desc id=\"%1-d\">%5</desc>\n")
                      .arg(id, QString::number(width), QString::number(height), title,
                           t.barDesc.arg(QString::number(bars.size()), date(bars.front().date),
                                         date(bars.back().date), QString::number(sum),
                                         QString::number(most)));
    svg += gridLines(left, plotWidth, steps, step, y, step < 1 ? 1 : 0);
    for (size_t i = 0; i < bars.size(); ++i) {
        const SeriesPoint& bar = bars[i];
        const QDate end = i + 1 < bars.size() ? bars[i + 1].date.addDays(-1) : bar.date;
        const bool week = bar.date <= report.day && end >= report.weekStart();
        svg += QStringLiteral("<rect class=\"bar%1\" x=\"%2\" y=\"%3\" width=\"%4\" height=\"%5\" "
                              "data-date=\"%6\" data-value=\"%7\"/>")
                   .arg(week ? QStringLiteral(" week") : QString())
                   .arg(left + slot * i + slot * 0.15, 0, 'f', 1)
                   .arg(y(bar.exercises), 0, 'f', 1)
                   .arg(slot * 0.7, 0, 'f', 1)
                   .arg(top + plotHeight - y(bar.exercises), 0, 'f', 1)
                   .arg(bar.date.toString(Qt::ISODate))
                   .arg(bar.exercises);
    }
    svg += QStringLiteral("\n<line class=\"axis\" x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\"/>\n")
               .arg(left)
               .arg(top + plotHeight)
               .arg(left + plotWidth);
    // Dates under the axis: the first, the last and up to three between.
    const int labels = std::min<int>(5, int(bars.size()));
    for (int i = 0; i < labels; ++i) {
        const size_t at = labels == 1 ? 0 : i * (bars.size() - 1) / (labels - 1);
        const QString anchor = labels == 1       ? QStringLiteral("middle")
                               : i == 0          ? QStringLiteral("start")
                               : i == labels - 1 ? QStringLiteral("end")
                                                 : QStringLiteral("middle");
        const double x = labels == 1       ? left + slot * 0.5
                         : i == 0          ? left
                         : i == labels - 1 ? left + plotWidth
                                           : left + slot * (at + 0.5);
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"%3\">%4</text>\n")
                   .arg(x, 0, 'f', 1)
                   .arg(top + plotHeight + 16)
                   .arg(anchor, date(bars[at].date));
    }
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">%3</text>\n</svg>\n")
               .arg(left + plotWidth / 2)
               .arg(height - 4)
               .arg(t.xAxis);
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
            .arg(QString::number(index), name);
    const QDateTime last = pupil.lastExerciseBy(report.day);
    const int week = pupil.exercisesIn(report.weekStart(), report.day);
    html += QStringLiteral("<p class=\"activity%1\">%2 %3</p>\n")
                .arg(week > 0 ? QString() : QStringLiteral(" idle"),
                     t.pupilLast.arg(last.isValid() ? dateTime(last) : t.none),
                     week > 0 ? t.pupilWeek.arg(weekText(), QString::number(week))
                              : t.pupilNoWeek.arg(weekText()));
    if (!report.filter.since && !report.filter.until && !report.filter.rangeNamed &&
        pupil.profileTotalsDiffer())
        html += QStringLiteral("<p class=\"totals-differ\">%1 %2</p>\n")
                    .arg(totalsDifferText(pupil), t.noteTotals);

    // Every range's figures side by side, each of its own range.
    html += QStringLiteral(
                "<div class=\"wide\"><table class=\"ranges\"><caption>%1</caption>\n"
                "<thead><tr><th scope=\"col\">%2</th><th scope=\"col\">%3</th>"
                "<th scope=\"col\">%4</th><th scope=\"col\">%5</th><th scope=\"col\">%6</th>"
                "<th scope=\"col\">%7</th><th scope=\"col\">%8</th><th scope=\"col\">%9</th>")
                .arg(t.byRange, t.ranges, t.allExercises, t.weekExercises, t.best, t.latest,
                     t.change, t.errorsPer10, t.places);
    html += QStringLiteral("<th scope=\"col\">%1</th></tr></thead>\n<tbody>\n").arg(t.attention);
    for (const QString& rangeText : ranges) {
        const RangeReport* range = pupil.range(rangeText);
        const bool any = range && !range->exercises.empty();
        const QString place =
            range && range->place > 0
                ? t.of.arg(QString::number(range->place), QString::number(range->tableSize))
                : t.noPlace;
        const SpeedChange change = any ? SpeedChangeOf(range->exercises) : SpeedChange();
        const QStringList reasons = any ? this->reasons(*range) : QStringList();
        html +=
            QStringLiteral("<tr><th scope=\"row\">%1</th><td class=\"n\">%2</td>"
                           "<td class=\"n\">%3</td><td class=\"n\">%4</td><td class=\"n\">%5</td>"
                           "<td class=\"n\">%6</td><td class=\"n\">%7</td><td class=\"n\">%8</td>")
                .arg(
                    t.rangeName.arg(rangeText),
                    QString::number(range ? int(range->exercises.size()) : 0),
                    QString::number(range ? range->exercisesIn(report.weekStart(), report.day) : 0),
                    any ? number(range->bestSpeed()) : t.none,
                    any ? number(range->latestSpeed()) : t.none,
                    change.group > 0 ? signedNumber(change.change()) : t.none,
                    any ? number(range->errorsPer10Points(), 2) : t.none, place);
        html += reasons.isEmpty()
                    ? QStringLiteral("<td></td></tr>\n")
                    : QStringLiteral("<td class=\"attention\"><strong>%1:</strong> %2</td></tr>\n")
                          .arg(t.attention, reasons.join(QStringLiteral("; ")));
    }
    html += QStringLiteral("</tbody>\n</table></div>\n");

    bool any = false;
    for (const RangeReport& range : pupil.ranges) {
        if (range.exercises.empty())
            continue;
        any = true;
        const std::vector<SeriesPoint> points = DateSeries(range.exercises, kChartPoints);
        const QString id = QStringLiteral("c%1-%2").arg(QString::number(index), range.rangeText);
        html += QStringLiteral("<h3>%1</h3>\n<div class=\"charts\">\n")
                    .arg(t.rangeName.arg(range.rangeText));
        html += chart(points, true, t.speedTitle.arg(range.rangeText), id + QStringLiteral("-s"));
        html += chart(points, false, t.errorsTitle.arg(range.rangeText), id + QStringLiteral("-e"));
        html += QStringLiteral("<details><summary>%1</summary>\n<table "
                               "class=\"numbers\"><caption>%1, %2</caption>\n"
                               "<thead><tr><th scope=\"col\">%3</th><th scope=\"col\">%4</th><th "
                               "scope=\"col\">%5</th>"
                               "<th scope=\"col\">%6</th></tr></thead>\n<tbody>\n")
                    .arg(t.chartNumbers, t.rangeName.arg(range.rangeText), t.date, t.exercises,
                         t.speed + QStringLiteral(", ") + t.speedUnit, t.errorsPer10);
        for (const SeriesPoint& point : points)
            html += QStringLiteral(
                        "<tr><th scope=\"row\">%1</th><td>%2</td><td>%3</td><td>%4</td></tr>\n")
                        .arg(date(point.date), QString::number(point.exercises),
                             number(point.speed), number(point.errors, 2));
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

QByteArray ReportHtml(const ClassReport& report, ReportLanguage language, const QDateTime& madeAt,
                      ReportParts parts)
{
    Writer writer{
        report,
        MakeReportTexts(language),
        QLocale(language == ReportLanguage::English ? QLocale::English : QLocale::Russian),
        parts == ReportParts::SummaryOnly,
        QString(),
        QStringList()};
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
    if (!writer.summaryOnly) {
        int index = 0;
        for (const PupilReport& pupil : report.pupils)
            writer.pupil(pupil, ++index);
    }
    writer.html += QStringLiteral("</main>\n<script>%1</script>\n</body>\n</html>\n")
                       .arg(QString::fromUtf8(kScript));
    return writer.html.toUtf8();
}
