#include "util/text.h"

QString FieldTail(int n, const QString& text, QChar separator)
{
    if (text.isEmpty())
        return QString();
    if (text.size() == 1)
        return n == 1 ? text : QString();
    int field = 1;
    for (int i = 0; i < text.size() - 1; ++i) {
        if (field == n)
            return text.mid(i);
        if (text.at(i) == separator)
            ++field;
    }
    // Field n, if it exists, is the last character alone.
    return field == n ? text.right(1) : QString();
}

QString Field(int n, const QString& text, QChar separator)
{
    const QString tail = FieldTail(n, text, separator);
    const int end = tail.indexOf(separator);
    return end < 0 ? tail : tail.left(end);
}

QString BarField(int n, const QString& text) { return Field(n, text, QLatin1Char('|')); }

QChar UpperChar(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= u'a' && u <= u'z') || (u >= 0x0430 && u <= 0x044F))
        return QChar(char16_t(u - 0x20));
    return c;
}

QString UpperText(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        c = UpperChar(c);
    return result;
}

QString TrimText(const QString& text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString DurationText(qint64 seconds)
{
    if (seconds < 0)
        return QLatin1Char('-') + DurationText(-seconds);
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds % 3600 / 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
