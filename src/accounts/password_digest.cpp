#include "accounts/password_digest.h"

#include "platform/config_store.h"
#include "util/cp1251.h"
#include "util/text.h"

#include <QCryptographicHash>

const char* const kAdminDigestKey = "Software\\Brenk\\Zamrik";

namespace {
const QString kAdminDigestValue = QStringLiteral("MyPass");
}

QString DigestWordsText(const QByteArray& digest)
{
    QString text;
    for (int word = 0; word < 4; ++word)
        text += QString::number(ReadInt32LE(digest.constData() + 4 * word));
    return text;
}

QString PasswordDigestText(const QString& password)
{
    return DigestWordsText(
        QCryptographicHash::hash(ToCp1251(UpperText(password)), QCryptographicHash::Md5));
}

bool CheckPassword(const QString& typed, const QString& storedDigest)
{
    if (storedDigest.isEmpty() && typed.isEmpty())
        return true;
    return PasswordDigestText(typed) == storedDigest;
}

QString TypedPasswordDigest(const QString& typed)
{
    return typed.isEmpty() ? QString() : PasswordDigestText(typed);
}

std::optional<QString> ReadAdminDigest()
{
    const StoreKey key = StoreKey::openRead(QString::fromLatin1(kAdminDigestKey));
    bool readable = true;
    const std::optional<QString> digest = key.readString(kAdminDigestValue, readable);
    if (!readable)
        return std::nullopt;
    return digest.value_or(QString());
}

bool WriteAdminDigest(const QString& digestText)
{
    std::optional<StoreKey> key = StoreKey::openFull(QString::fromLatin1(kAdminDigestKey), true);
    if (!key)
        return false;
    key->writeString(kAdminDigestValue, digestText);
    return true;
}
