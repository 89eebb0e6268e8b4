// The number syntax: any text parses or is refused without a crash, and a
// parsed value reads the same when written in decimal or in hexadecimal.

#include "fuzz_support.h"

#include "util/number.h"

namespace {

void CheckText(const QString& text)
{
    const std::optional<qint32> value = ParseNumber(text);
    if (!value)
        return;
    FUZZ_CHECK(ParseNumber(QString::number(*value)) == value);
    FUZZ_CHECK(ParseNumber(QStringLiteral("$") + QString::number(quint32(*value), 16)) == value);
    FUZZ_CHECK(ParseNumber(QStringLiteral("  ") + text) == value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    CheckText(QString::fromUtf8(bytes));
    CheckText(QString::fromLatin1(bytes));
    return 0;
}
