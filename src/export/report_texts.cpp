#include "export/report_texts.h"

ReportTexts MakeReportTexts(ReportLanguage language)
{
    const bool en = language == ReportLanguage::English;
    auto pick = [en](const char* russian, const char* english) {
        return QString::fromUtf8(en ? english : russian);
    };
    ReportTexts t;
    t.lang = pick("ru", "en");
    t.title = pick("Отчёт по классу", "Class report");
    t.folder = pick("Папка класса", "Class folder");
    t.period = pick("Период", "Period");
    t.ranges = pick("Интервалы", "Ranges");
    t.made = pick("Составлен", "Made");
    t.all = pick("весь", "all");
    t.from = pick("с %1", "from %1");
    t.to = pick("по %1", "to %1");
    t.week = pick("Неделя", "Week");
    t.overview = pick("Обзор класса", "Class overview");
    t.overviewCaption =
        pick("По строке на ученика. Чтобы упорядочить по столбцу, нажмите его заголовок.",
             "One row per pupil. Sort by a column: press its header.");
    t.nick = pick("Ник", "Nick");
    t.fullName = pick("ФИО", "Full name");
    t.exercises = pick("Упражнений", "Exercises");
    t.rangeName = pick("0-%1", "0-%1");
    t.totalTime = pick("Всего времени, ч:мм:сс", "Total time, h:mm:ss");
    t.totalPoints = pick("Всего очков", "Total points");
    t.best = pick("Лучшая скорость, очков в минуту", "Best speed, points per minute");
    t.latest = pick("Последняя скорость, очков в минуту", "Latest speed, points per minute");
    t.errorsPer10 = pick("Ошибок на 10 очков", "Errors per 10 points");
    t.change = pick("Изменение скорости, очков в минуту", "Change of speed, points per minute");
    t.mainRange = pick("Интервал (основной)", "Range (main)");
    t.nowRange = pick("%1, сейчас %2", "%1, now %2");
    t.attention = pick("Внимание", "Attention");
    t.weekExercises = pick("Упражнений за неделю", "Exercises in the week");
    t.allExercises = pick("Упражнений за период", "Exercises in the period");
    t.daysSince = pick("Дней с последнего упражнения", "Days since the last exercise");
    t.idle = pick("нет занятий", "none");
    t.idleList = pick("Нет занятий за неделю: %1.", "No exercise this week: %1.");
    t.idleLast = pick("%1 (последнее упражнение %2)", "%1 (last exercise %2)");
    t.idleNever = pick("%1 (упражнений нет)", "%1 (no exercise)");
    t.classWeek = pick("За неделю %1 занимались %2 из %3 учеников, упражнений: %4.",
                       "In the week %1, %2 of %3 pupils practised, %4 exercises.");
    t.classChart = pick("Упражнений класса %1", "Exercises of the class %1");
    t.classChartDay = pick("по дням", "per day");
    t.classChartWeek = pick("по неделям", "per week");
    t.classChartLonger = pick("по периодам", "per period");
    t.barDesc = pick("Упражнений за %1 периодов с %2 по %3; всего %4, больше всего за период %5; "
                     "дни недели отчёта выделены.",
                     "Exercises in %1 periods from %2 to %3; %4 in all, at most %5 in a period; "
                     "the report's week is highlighted.");
    t.noClassExercises = pick("В этот период упражнений нет.", "No exercises in this period.");
    t.median = pick("Медиана класса", "Class median");
    t.medianRange = pick("Медиана, интервал %1 (учеников: %2)", "Median, range %1 (pupils: %2)");
    t.noFaster = pick("не быстрее в %1: %2 → %3 очков в минуту",
                      "no faster in %1: %2 → %3 points per minute");
    t.moreErrors =
        pick("больше ошибок в %1: %2 → %3 на 10 очков", "more errors in %1: %2 → %3 per 10 points");
    t.noteSpeed =
        pick("Скорость — очков в минуту: 60 / время на очко в секундах. В таблице рекордов "
             "столбец Time — время на очко в сотых долях секунды, так что скорость = 6000 / Time "
             "(Time 300 — 3 секунды на очко — это 20 очков в минуту). Чем короче время, тем выше "
             "скорость.",
             "Speed is points per minute: 60 / the time per point in seconds. In the records "
             "table the column Time is the time per point in hundredths of a second, so speed = "
             "6000 / Time (Time 300, 3 seconds a point, is 20 points per minute). A shorter time "
             "is a higher speed.");
    t.noteErrors = pick("Ошибок на 10 очков — ошибки, делённые на набранные очки, умноженные на "
                        "10: не зависит от того, до скольких очков занимался ученик.",
                        "Errors per 10 points: the errors divided by the points scored, times 10; "
                        "it does not depend on the target score each pupil chose.");
    t.noteRange =
        pick("Скорость, её изменение и ошибки в строке ученика — в его основном интервале (где у "
             "него больше всего упражнений за период), он назван в столбце «Интервал»: скорости "
             "разных интервалов не сравниваются; «сейчас 0-99» — последнее упражнение ученика в "
             "другом интервале. Все интервалы ученика — в его разделе.",
             "The speeds, their change and the errors of a pupil's row are those of the pupil's "
             "main range (the one with the most exercises in the period), named in the column "
             "\"Range\": speeds of different ranges do not compare; \"now 0-99\": the pupil's "
             "last exercise was in another range. Every range of a pupil is in the pupil's "
             "section.");
    t.noteChange =
        pick("Изменение скорости — средняя скорость последних %1 упражнений интервала за период "
             "минус средняя скорость первых %1 (при меньше чем %2 упражнениях — последней и первой "
             "половины); «+» — ученик стал быстрее.",
             "Change of speed: the mean speed of the range's last %1 exercises in the period minus "
             "that of its first %1 (with fewer than %2 exercises, of the last and the first "
             "half); \"+\" means faster.");
    t.noteAttention = pick(
        "«Внимание» ставится по каждому интервалу, в котором ученик занимался на неделе отчёта и "
        "сделал за период не меньше %1 упражнений, если у последних %2 упражнений средняя "
        "скорость не выше, чем у %2 до них (не быстрее), или ошибок на 10 очков больше на %3 "
        "и более (больше ошибок). Причина написана рядом.",
        "\"Attention\" is marked for each range the pupil practised in the report's week with at "
        "least %1 exercises in the period, when the mean speed of the last %2 exercises is not "
        "above that of the %2 before them (no faster), or their errors per 10 points are up by %3 "
        "or more (more errors). The reason is written beside the mark.");
    t.noteTotals = pick(
        "Всего времени и очков — по таблицам рекордов. Окна «Статистика» и «Сводная таблица "
        "результатов» показывают итоги профиля ученика: в них входит и упражнение, прерванное "
        "кнопками «Пауза → Отмена», у которого нет строки в таблице рекордов (и упражнения "
        "таблицы, сброшенной в ADM-Сервисе), поэтому там может быть больше.",
        "Total time and points are counted from the records tables. The windows \"Статистика\" "
        "and \"Сводная таблица результатов\" show the profile's totals, which also count an "
        "exercise stopped with «Пауза → Отмена» (it has no row in a records table) and the "
        "exercises of a table reset in the administrator's service window, so they may be "
        "larger.");
    t.noteTotalsFiltered =
        pick("Отчёт за часть периода или интервалов: итоги профиля с ним не сравниваются.",
             "The report covers part of the period or of the ranges: the profiles' totals are not "
             "compared with it.");
    t.totalsDiffer = pick("%1: в профиле %2 и %3 очков, в таблицах рекордов %4 и %5 очков.",
                          "%1: the profile has %2 and %3 points, the records tables %4 and %5 "
                          "points.");
    t.totalsDifferMark =
        pick("* итоги профиля другие, см. ниже", "* the profile's totals differ, see below");
    t.pupilLast = pick("Последнее упражнение: %1.", "Last exercise: %1.");
    t.pupilWeek = pick("За неделю %1: упражнений %2.", "In the week %1: %2 exercises.");
    t.pupilNoWeek = pick("За неделю %1: нет занятий.", "In the week %1: no exercise.");
    t.byRange =
        pick("По интервалам; место — лучшего результата в таблице рекордов по времени на очко",
             "By range; the place is that of the best result in the records table by "
             "time per point");
    t.places = pick("Место в таблице рекордов", "Place in the records table");
    t.of = pick("%1 из %2", "%1 of %2");
    t.noPlace = pick("нет в таблице", "not in the table");
    t.speed = pick("Скорость", "Speed");
    t.speedUnit = pick("очков в минуту", "points per minute");
    t.chartNumbers = pick("Числа графиков", "Numbers of the charts");
    t.date = pick("Дата", "Date");
    t.noExercises = pick("В этот период упражнений нет.", "No exercises in this period.");
    t.speedTitle = pick("Скорость, интервал 0-%1", "Speed, range 0-%1");
    t.errorsTitle = pick("Ошибок на 10 очков, интервал 0-%1", "Errors per 10 points, range 0-%1");
    t.trendTitle = pick("Динамика скорости: %1, интервал %2", "Speed trend of %1, range %2");
    t.trendDesc = pick("Скорость в очках в минуту за %1 периодов: %2.",
                       "Speed in points per minute over %1 periods: %2.");
    t.chartDesc = pick("%1 за %2 периодов с %3 по %4; наименьшее %5, наибольшее %6, последнее %7.",
                       "%1 over %2 periods from %3 to %4; lowest %5, highest %6, last %7.");
    t.xAxis = pick("Дата", "Date");
    t.sortHint =
        pick("Нажмите заголовок столбца, чтобы упорядочить.", "Press a column header to sort.");
    t.none = pick("—", "—");
    t.incomplete = pick("Отчёт неполный: некоторые файлы не удалось прочитать.",
                        "The report is incomplete: some files could not be read.");
    return t;
}
