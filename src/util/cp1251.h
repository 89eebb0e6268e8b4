#pragma once
// Windows-1251 text of the stored formats, and the short-string fields
// (a length byte, then up to `capacity` characters; the rest is not significant).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A character without a Windows-1251 byte becomes 0x1A.
QByteArray ToCp1251(const QString& text);
QString FromCp1251(QByteArrayView bytes);
// True when every character has a Windows-1251 byte.
bool IsCp1251Text(const QString& text);

// capacity + 1 bytes: the length byte, the text cut to `capacity` bytes after
// encoding, zeros after it.
QByteArray EncodeShortString(const QString& text, int capacity);
// Reads a field of capacity + 1 bytes at `field`; a length byte above the
// capacity is taken as the capacity.
QString DecodeShortString(const char* field, int capacity);

qint32 ReadInt32LE(const char* p);
void WriteInt32LE(char* p, qint32 value);
