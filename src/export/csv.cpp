#include "export/csv.h"

#include "export/visible_text.h"

namespace {

// `stored` as stored, `shown` as the cell will hold it.
bool LooksLikeFormula(const QString& stored, const QString& shown)
{
    if (stored.startsWith(QLatin1Char('\t')) || stored.startsWith(QLatin1Char('\r')))
        return true;
    const QString folded = shown.normalized(QString::NormalizationForm_KC);
    for (const QChar c : folded) {
        if (c.isSpace() || c.category() == QChar::Other_Format)
            continue;
        return QStringLiteral("=+-@").contains(c);
    }
    return false;
}

} // namespace

QByteArray CsvText(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QByteArray CsvNumber(const QString& text, char separator)
{
    const QByteArray bytes = text.toUtf8();
    const bool quoted = bytes.contains(separator) || bytes.contains('"') || bytes.contains('\r') ||
                        bytes.contains('\n');
    return quoted ? CsvText(text) : bytes;
}

QString SpreadsheetText(const QString& text)
{
    const QString shown = VisibleText(text, Tabs::Keep);
    return LooksLikeFormula(text, shown) ? QLatin1Char('\'') + shown : shown;
}

QByteArray CsvRow(const QStringList& fields, char separator, const QList<int>& numberColumns)
{
    QByteArray row;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += separator;
        row +=
            numberColumns.contains(i) ? CsvNumber(fields.at(i), separator) : CsvText(fields.at(i));
    }
    return row + "\r\n";
}
