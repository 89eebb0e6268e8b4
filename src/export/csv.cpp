#include "export/csv.h"

QByteArray CsvField(const QString& text, char separator)
{
    QByteArray bytes = text.toUtf8();
    const bool quoted = bytes.contains(separator) || bytes.contains('"') || bytes.contains('\r') ||
                        bytes.contains('\n');
    if (!quoted)
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QString SpreadsheetText(const QString& text)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && kFormulaStarts.contains(text.at(0)))
        return QLatin1Char('\'') + text;
    return text;
}

QByteArray CsvRow(const QStringList& fields, char separator)
{
    QByteArray row;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += separator;
        row += CsvField(fields.at(i), separator);
    }
    return row + "\r\n";
}
