#include "accounts/password_digest.h"

#include "accounts_test_env.h"
#include "platform/errors.h"

#include <QFile>

namespace {

using AdminDigestTest = AccountsTest;

// Digest texts worked out independently (MD5 of the upper-cased
// Windows-1251 bytes).
const char* const kDigestABC = "-7593534561326243761-760892304854140213";
const char* const kDigestEmpty = "-64512874878774415-17442076392118318316";

TEST(DigestWordsText, WritesFourSignedWords)
{
    const struct {
        const char* digestHex;
        const char* text;
    } cases[] = {
        // The digest of the three bytes abc.
        {"90015098 3cd24fb0 d6963f7d 28e17f72", "-1739587184-133694611621013193821920983336"},
        {"00000000 00000000 00000000 00000000", "0000"},
        {"00000080 01000000 02000000 ffffffff", "-214748364812-1"},
        {"ffffff7f 0a000000 00000080 00000080", "214748364710-2147483648-2147483648"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DigestWordsText(QByteArray::fromHex(c.digestHex)), c.text) << c.digestHex;
}

TEST(PasswordDigestText, UpperCasesTheWindows1251Bytes)
{
    const struct {
        QString password;
        const char* text;
    } cases[] = {
        {"abc", kDigestABC},
        {"ABC", kDigestABC},
        {"aBc", kDigestABC},
        {"", kDigestEmpty},
        {"abc ", "1182058258-181019633719298886471630865880"},
        {"Пароль", "1370207096-1425648292-14189964692041205370"},
        {"пАРОЛЬ", "1370207096-1425648292-14189964692041205370"},
        {"ёж", "906140750-276716577-79453105166947051"},
        {"ёЖ", "906140750-276716577-79453105166947051"},
        {"ЁЖ", "-152454267713089486651184731051-884212012"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PasswordDigestText(c.password), c.text) << c.password.toStdString();
}

TEST(CheckPassword, ComparesDigestTexts)
{
    const struct {
        QString typed;
        QString stored;
        bool passes;
    } cases[] = {
        {"", "", true}, // a reset password accepts the empty one only
        {" ", "", false},
        {"abc", "", false},
        {"", kDigestEmpty, true},
        {"abc", kDigestABC, true},
        {"ABC", kDigestABC, true},
        {"abc ", kDigestABC, false},
        {"", kDigestABC, false},
        {"abc", "-1739587184-133694611621013193821920983336", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckPassword(c.typed, c.stored), c.passes)
            << '"' << c.typed.toStdString() << "\" against \"" << c.stored.toStdString() << '"';
    }
}

TEST_F(AdminDigestTest, AdminDigestInTheMachineStore)
{
    EXPECT_EQ(ReadAdminDigest(), "");
    EXPECT_FALSE(QFile::exists(storePath())); // reading never creates the key

    ASSERT_TRUE(WriteAdminDigest(kDigestABC));
    EXPECT_EQ(ReadAdminDigest(), kDigestABC);
    EXPECT_TRUE(readFile(storePath()).contains("[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]"));
}

TEST_F(AdminDigestTest, AdminDigestOfAnotherTypeTravels)
{
    writeFile(storePath(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]\n"
                           "\"MyPass\"=dword:00000001\n");
    try {
        ReadAdminDigest();
        ADD_FAILURE() << "no error";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.text(), "Invalid data type for 'MyPass'");
    }
}

TEST_F(AdminDigestTest, AdminDigestNotWrittenWithoutStoreAccess)
{
    writeFile(tempPath("plain"), "x");
    qputenv("ZELVO_MACHINE_STORE", tempPath("plain/machine.reg").toLocal8Bit());
    EXPECT_FALSE(WriteAdminDigest(kDigestABC));
    EXPECT_EQ(readFile(tempPath("plain")), "x");
    EXPECT_EQ(ReadAdminDigest(), "");
}

} // namespace
