#include "records/records_columns.h"

QStringList RecordsColumnTitles()
{
    return {QStringLiteral("N"),     QStringLiteral("NikName"), QStringLiteral("ФИО"),
            QStringLiteral("Time"),  QStringLiteral("кол-во"),  QStringLiteral("Дата"),
            QStringLiteral("Ошибок")};
}

QString RecordFieldText(const ResultRecord& record, int column)
{
    switch (column) {
    case 1:
        return record.nick;
    case 2:
        return record.fullName;
    case 3:
        return QString::number(record.timePerExample);
    case 4:
        return QString::number(record.points);
    case 5:
        return record.finishedAt;
    case 6:
        return QString::number(record.errors);
    default:
        return QString();
    }
}
