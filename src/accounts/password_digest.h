#pragma once
// Passwords are never stored: only the text form of the MD5 digest of the
// upper-cased password. The administrator's digest text is the value "MyPass"
// under the machine store key "Software\Brenk\Zamrik".

#include <QByteArray>
#include <QString>
#include <optional>

extern const char* const kAdminDigestKey; // "Software\\Brenk\\Zamrik"

// The 16 bytes of a digest as four little-endian signed 32-bit words in
// decimal, run together.
QString DigestWordsText(const QByteArray& digest);

// DigestWordsText of the MD5 of the Windows-1251 bytes of UpperText(password).
QString PasswordDigestText(const QString& password);

// True when the typed password passes against the stored digest text: both
// empty, or the typed password's digest text equals the stored text.
bool CheckPassword(const QString& typed, const QString& storedDigest);
// A digest text that passes `typed` and only the passwords CheckPassword
// passes with the digest `typed` passed against: what the program keeps of a
// login, which never sees the stored digest.
QString TypedPasswordDigest(const QString& typed);

// "MyPass" read without creating the key; empty when the store, the key or
// the value is missing (a first start). Nothing when a store stands there but
// cannot be read: the administrator is then refused, never let in with an
// empty password. StoreError when the value is not a string.
std::optional<QString> ReadAdminDigest();

// Writes "MyPass", creating the key. False when the store cannot be opened
// with full access (nothing written); StoreError when the write is refused.
bool WriteAdminDigest(const QString& digestText);
