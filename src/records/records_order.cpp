#include "records/records_order.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>

QString PaddedTimeText(qint32 time)
{
    return QString::number(time).rightJustified(5, QLatin1Char('0'));
}

QString RecordSortKey(RecordsOrder order, const ResultRecord& record, int position)
{
    QString primary;
    switch (order) {
    case RecordsOrder::ByDate:
        break;
    case RecordsOrder::ByTime:
        primary = PaddedTimeText(record.timePerExample);
        break;
    case RecordsOrder::ByNick:
        primary = record.nick;
        break;
    case RecordsOrder::ByFullName:
        primary = record.fullName;
        break;
    }
    return primary + QLatin1Char('|') + QString::number(position);
}

QCollator RecordsCollator()
{
    QLocale locale;
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        locale = QLocale(QLocale::Russian, QLocale::Russia);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

std::vector<int> SortRecords(const std::vector<ResultRecord>& records, RecordsOrder order)
{
    std::vector<int> positions(records.size());
    std::iota(positions.begin(), positions.end(), 0);
    if (order == RecordsOrder::ByDate)
        return positions;

    // Collation keys once per record, then plain comparisons: fast for large tables.
    // Made once: opening a collator costs more than a small table's sort.
    static const QCollator collator = RecordsCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(records.size());
    for (int i = 0; i < static_cast<int>(records.size()); ++i)
        keys.push_back(collator.sortKey(RecordSortKey(order, records[i], i)));
    std::stable_sort(positions.begin(), positions.end(),
                     [&keys](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    return positions;
}
