// Fields of a text: any field number and separator give the field the text
// holds there (numbered from 1; k separators make k + 1 fields), or nothing.

#include "fuzz_support.h"

#include "util/text.h"

#include <QStringList>

namespace {

void CheckFields(int n, const QString& text, QChar separator)
{
    const QStringList fields = text.split(separator);
    const bool exists = n >= 1 && n <= fields.size();
    const QString field = Field(n, text, separator);
    FUZZ_CHECK(field == (exists ? fields.at(n - 1) : QString()));
    const QString tail = FieldTail(n, text, separator);
    FUZZ_CHECK(tail == (exists ? fields.mid(n - 1).join(separator) : QString()));
    if (separator == QLatin1Char('|'))
        FUZZ_CHECK(BarField(n, text) == field);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // Field numbers from -128 to 127, any Latin-1 separator, then the text.
    const int n = int(int8_t(data[0]));
    const QChar separator = QLatin1Char(char(data[1]));
    const QString text = QString::fromUtf8(FuzzBytes(data + 2, size - 2));
    CheckFields(n, text, separator);
    CheckFields(n, text, QLatin1Char('|'));
    return 0;
}
