// Windows-1251 text and short-string fields: any bytes decode, whatever the
// length byte claims; a decoded text written back reads the same.

#include "fuzz_support.h"

#include "util/cp1251.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    // A single-byte code page: one character for every byte.
    FUZZ_CHECK(FromCp1251(bytes).size() == bytes.size());
    if (size < 1)
        return 0;

    // The first byte is the capacity; the field follows, copied to a buffer of
    // exactly capacity + 1 bytes so a read past it is caught.
    const int capacity = data[0];
    if (size - 1 < size_t(capacity) + 1)
        return 0;
    std::unique_ptr<char[]> field(new char[size_t(capacity) + 1]);
    std::copy(data + 1, data + 2 + capacity, field.get());
    const QString text = DecodeShortString(field.get(), capacity);
    FUZZ_CHECK(text.size() <= capacity);

    const QByteArray written = EncodeShortString(text, capacity);
    FUZZ_CHECK(written.size() == capacity + 1);
    FUZZ_CHECK(quint8(written.at(0)) == text.size());
    if (IsCp1251Text(text))
        FUZZ_CHECK(DecodeShortString(written.constData(), capacity) == text);
    return 0;
}
