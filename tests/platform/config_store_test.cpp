#include "platform/config_store.h"
#include "platform/errors.h"
#include "platform/shell.h"
#include "support/file_size_limit.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QString kDorvo = QStringLiteral("Software\\Brenk\\Dorvo");
const QString kZamrik = QStringLiteral("Software\\Brenk\\Zamrik");

class ConfigStoreTest : public ZelvoTest {
  protected:
    StoreKey full(const QString& key = kDorvo)
    {
        std::optional<StoreKey> k = StoreKey::openFull(key, true);
        EXPECT_TRUE(k.has_value());
        return k ? *k : StoreKey::openRead(key);
    }
    void useStore(const QString& path) { qputenv("ZELVO_MACHINE_STORE", path.toLocal8Bit()); }
};

template <typename F> QString StoreErrorText(F f)
{
    try {
        f();
    } catch (const StoreError& e) {
        return e.text();
    }
    return QString();
}

TEST_F(ConfigStoreTest, WritesTheExportSyntax)
{
    StoreKey dorvo = full();
    dorvo.writeString("AdmConf", "5|2|2|2");
    dorvo.writeString("PathUser", "/a\\b \"c\"");
    dorvo.writeNumber("NoSound", 10);
    full(kZamrik).writeString("MyPass", "Пароль");

    EXPECT_EQ(QString::fromUtf8(readFile(storePath())),
              "REGEDIT4\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
              "\"AdmConf\"=\"5|2|2|2\"\n"
              "\"PathUser\"=\"/a\\\\b \\\"c\\\"\"\n"
              "\"NoSound\"=dword:0000000a\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]\n"
              "\"MyPass\"=\"Пароль\"\n");
}

TEST_F(ConfigStoreTest, StringsAndNumbersRoundTrip)
{
    StoreKey key = full();
    for (const QString& text : {QString(), QString("\\"), QString("\"\""), QString("a\\\"b\\"),
                                QString("Ёлка и ель"), QString("  blanks  "), QString("x=\"y\"")}) {
        key.writeString("Text", text);
        EXPECT_EQ(StoreKey::openRead(kDorvo).readString("Text"), text) << text.toStdString();
    }
    for (qint32 n : {0, 1, 255, -1, INT_MIN, INT_MAX}) {
        key.writeNumber("Number", n);
        EXPECT_EQ(StoreKey::openRead(kDorvo).readNumber("Number"), n) << n;
    }
    EXPECT_TRUE(readFile(storePath()).contains("\"Number\"=dword:7fffffff\n"));
}

TEST_F(ConfigStoreTest, NamesCompareWithoutCaseAndKeepTheirSpelling)
{
    writeFile(storePath(), "REGEDIT4\n\n[hkey_local_machine\\SOFTWARE\\brenk\\dorvo]\n"
                           "\"NoSound\"=dword:00000001\n");
    StoreKey key = StoreKey::openRead("software\\Brenk\\DORVO");
    EXPECT_TRUE(key.hasValue("NOSOUND"));
    EXPECT_EQ(key.readNumber("nosound"), 1);

    full().writeNumber("NOSOUND", 0);
    EXPECT_EQ(readFile(storePath()), "REGEDIT4\n\n[hkey_local_machine\\SOFTWARE\\brenk\\dorvo]\n"
                                     "\"NoSound\"=dword:00000000\n");
}

TEST_F(ConfigStoreTest, WrongTypeIsReportedWithTheValueName)
{
    writeFile(storePath(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                           "\"NoSound\"=\"1\"\n"
                           "\"AdmConf\"=dword:00000005\n"
                           "\"PathUser\"=hex(2):2f,00\n"
                           "\"Broken\"=dword:xyz\n");
    StoreKey key = StoreKey::openRead(kDorvo);
    const struct {
        const char* name;
        bool asNumber;
    } cases[] = {{"NoSound", true},
                 {"AdmConf", false},
                 {"PathUser", false},
                 {"PathUser", true},
                 {"Broken", true}};
    for (const auto& c : cases) {
        const QString name = c.name;
        QString text = StoreErrorText([&] {
            if (c.asNumber)
                key.readNumber(name);
            else
                key.readString(name);
        });
        EXPECT_EQ(text, QString("Invalid data type for '%1'").arg(name));
    }
    EXPECT_FALSE(key.readString("Missing").has_value());
}

TEST_F(ConfigStoreTest, OpenReadNeverFails)
{
    writeFile(tempPath("plain"), "x");
    QDir().mkpath(tempPath("folder"));
    for (const QString& path : {storePath(), tempPath("plain/machine.reg"), tempPath("folder"),
                                QString("/proc/zelvo-none/machine.reg")}) {
        useStore(path);
        StoreKey key = StoreKey::openRead(kDorvo, true);
        EXPECT_FALSE(key.hasValue("AdmConf")) << path.toStdString();
        EXPECT_FALSE(key.readNumber("NoSound").has_value());
    }
    // Where the store can be written, creating the key writes it.
    EXPECT_EQ(readFile(storePath()), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n");
}

TEST_F(ConfigStoreTest, FullAccessNeedsAWritableStore)
{
    writeFile(tempPath("plain"), "x");
    QDir().mkpath(tempPath("folder"));
    for (const QString& path :
         {tempPath("plain/machine.reg"), tempPath("folder"), tempPath("missing/machine.reg"),
          QString("/proc/zelvo-none/machine.reg"), QString("/proc/zelvo-machine.reg")}) {
        useStore(path);
        EXPECT_FALSE(StoreKey::openFull(kDorvo, true).has_value()) << path.toStdString();
        EXPECT_FALSE(QFileInfo(path).isFile());
    }
    useStore(tempPath("plain/machine.reg"));
    EXPECT_FALSE(CanWriteMachineStore());
    EXPECT_FALSE(HasAdminRights());

    useStore(storePath());
    EXPECT_TRUE(HasAdminRights());
    EXPECT_FALSE(StoreKey::openFull(kDorvo, false).has_value()); // the key is missing
    EXPECT_TRUE(StoreKey::openFull(kDorvo, true).has_value());
    EXPECT_TRUE(StoreKey::openFull(kDorvo, false).has_value());
    EXPECT_TRUE(StoreKey::openFull("Software\\Brenk", false).has_value()); // a parent key
}

// What another account with write access to the store's folder may leave in
// place of the store: nothing is read through it, nothing written through it,
// and it is left standing (tests run as root, so file types, not modes, make
// the store unusable).
TEST_F(ConfigStoreTest, OnlyARegularFileInPlaceOfTheStoreIsReadOrReplaced)
{
    const QByteArray values = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                              "\"AdmConf\"=\"9|9|9|9\"\n";
    const QString target = tempPath("elsewhere.reg");
    const QByteArray store = QFile::encodeName(storePath());
    const struct {
        const char* name;
        std::function<bool()> make; // false: cannot be made here, skipped
    } cases[] = {
        {"link to a store",
         [&] { return ::symlink(QFile::encodeName(target).constData(), store) == 0; }},
        {"dangling link", [&] { return ::symlink("/nonexistent/zelvo.reg", store) == 0; }},
        {"link to a folder",
         [&] { return ::symlink(QFile::encodeName(tempPath("")).constData(), store) == 0; }},
        {"pipe", [&] { return ::mkfifo(store, 0666) == 0; }},
        {"device", [&] { return ::mknod(store, S_IFCHR | 0666, makedev(1, 3)) == 0; }}, // /dev/null
        {"folder", [&] { return QDir().mkpath(storePath()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(target, values);
        // A key opened while the store was a regular file, replaced afterwards.
        writeFile(storePath(), values);
        StoreKey opened = full();
        QFile::remove(storePath());
        if (!c.make()) {
            std::printf("%s: cannot be made here, skipped\n", c.name);
            continue;
        }

        StoreKey key = StoreKey::openRead(kDorvo, true);
        EXPECT_FALSE(key.hasValue("AdmConf"));
        EXPECT_EQ(key.readString("AdmConf"), std::nullopt);
        EXPECT_FALSE(CanWriteMachineStore());
        EXPECT_FALSE(StoreKey::openFull(kDorvo, true).has_value());
        EXPECT_EQ(StoreErrorText([&] { opened.writeString("AdmConf", "1|1|1|1"); }),
                  "Failed to set data for 'AdmConf'");
        EXPECT_EQ(StoreErrorText([&] { opened.deleteValue("AdmConf"); }),
                  "Failed to set data for 'AdmConf'");

        EXPECT_EQ(readFile(target), values);
        EXPECT_FALSE(QFileInfo::exists("/nonexistent/zelvo.reg"));
        const QFileInfo info(storePath());
        EXPECT_FALSE(info.isFile() && !info.isSymLink()) << "replaced by a regular file";
        EXPECT_EQ(QDir(tempPath("")).entryList({".zelvo-*"}, QDir::Files | QDir::Hidden),
                  QStringList());
        if (info.isDir() && !info.isSymLink())
            QDir(storePath()).removeRecursively();
        else
            QFile::remove(storePath());
    }
}

TEST_F(ConfigStoreTest, RefusedWritesLeaveTheOldFileWhole)
{
    StoreKey key = full();
    key.writeString("AdmConf", "5|2|2|2");
    const QByteArray before = readFile(storePath());

    StoreKey readOnly = StoreKey::openRead(kDorvo);
    EXPECT_EQ(StoreErrorText([&] { readOnly.writeString("AdmConf", "1|1|1|1"); }),
              "Failed to set data for 'AdmConf'");
    EXPECT_EQ(StoreErrorText([&] { readOnly.deleteValue("AdmConf"); }),
              "Failed to set data for 'AdmConf'");
    EXPECT_EQ(StoreErrorText([&] { key.writeString("PathUser", "/a\n[x]"); }),
              "Failed to set data for 'PathUser'");

    // The file system refuses the new file half-way: the old one stays.
    QString text;
    {
        FileSizeLimit limit(16);
        text = StoreErrorText([&] { key.writeNumber("NoSound", 1); });
    }
    EXPECT_EQ(text, "Failed to set data for 'NoSound'");

    EXPECT_EQ(readFile(storePath()), before);
    EXPECT_EQ(QDir(QFileInfo(storePath()).path()).entryList({"machine.reg*"}, QDir::Files),
              QStringList{"machine.reg"});
}

TEST_F(ConfigStoreTest, NewStoreIsReadableByEveryone)
{
    full();
    EXPECT_TRUE(QFile::permissions(storePath()) & QFileDevice::ReadOther);
}

TEST_F(ConfigStoreTest, DeleteValue)
{
    StoreKey key = full();
    key.writeString("AdmConf", "5|2|2|2");
    key.writeNumber("NoSound", 1);
    EXPECT_TRUE(key.deleteValue("admconf"));
    EXPECT_FALSE(key.deleteValue("AdmConf"));
    EXPECT_FALSE(key.hasValue("AdmConf"));
    EXPECT_EQ(key.readNumber("NoSound"), 1);
}

TEST_F(ConfigStoreTest, ForeignLinesAndTypesArePreserved)
{
    const QByteArray foreign = "; written by hand\r\n"
                               "\"Blob\"=hex:01,02,\\\n"
                               "  03,04\n"
                               "\"Expand\"=hex(2):25,00,00,00\n"
                               "@=\"default\"\n"
                               "not a value line\n";
    const QByteArray other = "[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"Ünïcode\"=\"\xff\xfe\"\n";
    writeFile(storePath(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n" + foreign +
                               "\n" + other);

    StoreKey key = full();
    key.writeNumber("NoSound", 1);
    EXPECT_EQ(StoreErrorText([&] { key.readString("Blob"); }), "Invalid data type for 'Blob'");

    EXPECT_EQ(readFile(storePath()), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                                     "; written by hand\n"
                                     "\"Blob\"=hex:01,02,\\\n"
                                     "  03,04\n"
                                     "\"Expand\"=hex(2):25,00,00,00\n"
                                     "@=\"default\"\n"
                                     "not a value line\n"
                                     "\"NoSound\"=dword:00000001\n"
                                     "\n" +
                                         other);
}

TEST_F(ConfigStoreTest, ContinuationOpenAtTheEndDoesNotSwallowNewValues)
{
    writeFile(storePath(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                           "\"Blob\"=hex:01,\\");
    StoreKey key = full();
    key.writeNumber("NoSound", 1);
    const QByteArray once = readFile(storePath());
    key.writeNumber("NoSound", 1);
    EXPECT_EQ(readFile(storePath()), once);
    EXPECT_EQ(key.readNumber("NoSound"), 1);
    EXPECT_TRUE(once.contains("\"Blob\"=hex:01,\\\n"));
}

TEST_F(ConfigStoreTest, LinesBeforeTheFirstSectionAreKept)
{
    // The header is written anew; a comment or stray bytes above the first
    // section are not the program's to drop.
    const QByteArray top = "; machine settings, kept by hand\n\x01\xfe stray bytes\n";
    for (const QByteArray& header : {QByteArray("REGEDIT4\n"), QByteArray()}) {
        writeFile(storePath(), header + top + "\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n");
        full().writeNumber("NoSound", 1);
        EXPECT_EQ(readFile(storePath()), "REGEDIT4\n" + top +
                                             "\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                                             "\"NoSound\"=dword:00000001\n");
    }
}

} // namespace
