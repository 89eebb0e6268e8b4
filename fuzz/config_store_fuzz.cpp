// The configuration store: any file reads without a crash, each value as a
// text, a number or a type error; writing two values leaves a file in which
// they read back as written and every other value reads as before.

#include "fuzz_support.h"

#include "platform/config_store.h"
#include "platform/errors.h"

#include <QFile>

#include <array>
#include <optional>

namespace {

const QString kKey = QStringLiteral("Software\\Brenk\\Dorvo");
const QString kOtherKey = QStringLiteral("Software\\Brenk\\Zamrik");

struct ValueName {
    QString key;
    QString name;
};
// The values the program uses, the default value of its key, and a value of
// another key; the writes go to the first four.
const std::array<ValueName, 5> kValues = {{{kKey, QStringLiteral("AdmConf")},
                                           {kKey, QStringLiteral("PathUser")},
                                           {kKey, QStringLiteral("NoSound")},
                                           {kKey, QString()},
                                           {kOtherKey, QStringLiteral("MyPass")}}};
constexpr size_t kWritable = 4;

// How one value reads.
struct Reading {
    bool present = false;
    std::optional<QString> text;
    bool textRefused = false;
    std::optional<qint32> number;
    bool numberRefused = false;

    bool operator==(const Reading& o) const
    {
        return present == o.present && text == o.text && textRefused == o.textRefused &&
               number == o.number && numberRefused == o.numberRefused;
    }
};

Reading Read(const ValueName& value)
{
    const StoreKey key = StoreKey::openRead(value.key);
    const QString& name = value.name;
    Reading r;
    r.present = key.hasValue(name);
    try {
        r.text = key.readString(name);
    } catch (const StoreError&) {
        r.textRefused = true;
    }
    try {
        r.number = key.readNumber(name);
    } catch (const StoreError&) {
        r.numberRefused = true;
    }
    // A value is there with exactly one type, or with a type neither reading takes.
    FUZZ_CHECK(r.present == (r.text || r.textRefused));
    FUZZ_CHECK(r.present == (r.number || r.numberRefused));
    FUZZ_CHECK(!(r.text && r.number));
    return r;
}

// A text of the input's last bytes, without line breaks (which the store refuses).
QString TextFrom(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes.right(24));
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

qint32 NumberFrom(const QByteArray& bytes)
{
    quint32 n = 0;
    for (char c : bytes.left(4))
        n = n << 8 | quint8(c);
    return qint32(n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool storeSet =
        qputenv("ZELVO_MACHINE_STORE", QFile::encodeName(FuzzFolder() + "machine.reg"));
    FUZZ_CHECK(storeSet);
    const QByteArray bytes = FuzzBytes(data, size);
    WriteFuzzFile(MachineStorePath(), bytes);

    std::array<Reading, kValues.size()> before;
    for (size_t i = 0; i < kValues.size(); ++i)
        before[i] = Read(kValues[i]);

    std::optional<StoreKey> key = StoreKey::openFull(kKey, true);
    FUZZ_CHECK(key.has_value());
    const size_t textIndex = size % kWritable;
    const size_t numberIndex = (textIndex + 1) % kWritable;
    const QString text = TextFrom(bytes);
    const qint32 number = NumberFrom(bytes);
    key->writeString(kValues[textIndex].name, text);
    key->writeNumber(kValues[numberIndex].name, number);

    for (size_t i = 0; i < kValues.size(); ++i) {
        const Reading after = Read(kValues[i]);
        if (i == textIndex)
            FUZZ_CHECK(after.text == text);
        else if (i == numberIndex)
            FUZZ_CHECK(after.number == number);
        else
            FUZZ_CHECK(after == before[i]);
    }
    return 0;
}
