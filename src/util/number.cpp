#include "util/number.h"

namespace {

int DigitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

} // namespace

std::optional<qint32> ParseNumber(const QString& text)
{
    int i = 0;
    const int size = text.size();
    while (i < size && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < size && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }

    int base = 10;
    if (i < size && (text.at(i) == QLatin1Char('$') || text.at(i) == QLatin1Char('x') ||
                     text.at(i) == QLatin1Char('X'))) {
        base = 16;
        i += 1;
    } else if (i + 1 < size && text.at(i) == QLatin1Char('0') &&
               (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= size)
        return std::nullopt;

    // Decimal and hexadecimal values alike must fit the signed 32-bit range.
    const quint64 limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    quint64 value = 0;
    for (; i < size; ++i) {
        const int digit = DigitValue(text.at(i), base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + quint64(digit);
        if (value > limit)
            return std::nullopt;
    }

    return qint32(negative ? -qint64(value) : qint64(value));
}

qint32 AddWrapping(qint32 a, qint32 b)
{
    return static_cast<qint32>(static_cast<quint32>(a) + static_cast<quint32>(b));
}
