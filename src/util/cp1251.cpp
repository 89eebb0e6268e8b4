#include "util/cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>

// One converter each, kept: records tables decode many short fields.
QByteArray ToCp1251(const QString& text)
{
    thread_local QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString FromCp1251(QByteArrayView bytes)
{
    thread_local QStringDecoder decoder("windows-1251", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool IsCp1251Text(const QString& text)
{
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && FromCp1251(bytes) == text;
}

QByteArray EncodeShortString(const QString& text, int capacity)
{
    capacity = std::max(capacity, 0);
    // The length byte cannot count beyond 255.
    const QByteArray bytes = ToCp1251(text).left(std::min(capacity, 255));
    QByteArray field(capacity + 1, '\0');
    field[0] = char(quint8(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), field.begin() + 1);
    return field;
}

QString DecodeShortString(const char* field, int capacity)
{
    // The length byte of a foreign or damaged file may claim more than the field holds.
    const int length = std::min<int>(quint8(field[0]), std::max(capacity, 0));
    return FromCp1251(QByteArrayView(field + 1, length));
}

qint32 ReadInt32LE(const char* p) { return qFromLittleEndian<qint32>(p); }

void WriteInt32LE(char* p, qint32 value) { qToLittleEndian<qint32>(value, p); }
