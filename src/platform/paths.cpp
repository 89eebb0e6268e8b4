#include "platform/paths.h"

QString StripTrailingSeparators(const QString& text)
{
    QString result = text;
    while (result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

QString WithTrailingSeparator(const QString& text)
{
    if (text.isEmpty())
        return QString();
    return StripTrailingSeparators(text) + QLatin1Char('/');
}
