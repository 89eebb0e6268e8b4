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
    // Hexadecimal carries its sign like decimal; a negative value's bare
    // 32-bit pattern is beyond the signed range and no number.
    const qint64 wide = *value;
    const QString hex = QString::number(wide < 0 ? -wide : wide, 16);
    FUZZ_CHECK(ParseNumber((wide < 0 ? QStringLiteral("-$") : QStringLiteral("$")) + hex) == value);
    FUZZ_CHECK(wide >= 0 ||
               !ParseNumber(QStringLiteral("$") + QString::number(quint32(*value), 16)));
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
