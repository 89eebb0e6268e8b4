// The exports of a class folder: known files in, CSV bytes and messages out.

#include "export/class_export.h"
#include "export/csv.h"
#include "export_fixture.h"
#include "platform/config_store.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "support/child_process.h"
#include "util/files.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <map>
#include <optional>

namespace {

const QString kLong = QString(255, QChar(0x042F)); // 255 times "Я"
const QByteArray kRecordsHeader = R"("NikName";"ФИО";"Time";"кол-во";"Дата";"Ошибок")"
                                  "\r\n";
const QByteArray kSummaryHeader = R"("НИК";"ФИО";"Всего очков";"Всего времени";"Время")"
                                  "\r\n";
const QStringList kRanges = {"9", "20", "99", "999"};

TEST(CsvTest, TextsAreAlwaysQuotedNumbersOnlyWhenTheyMustBe)
{
    const struct {
        QString text;
        QByteArray text_;
        QByteArray number;
    } cases[] = {
        {"anna", R"("anna")", "anna"},
        {"", R"("")", ""},
        {"Иванов Иван", R"("Иванов Иван")", "Иванов Иван"},
        {"  0.0", R"("  0.0")", "  0.0"},
        {"-5", R"("-5")", "-5"},
        {"a;b", R"("a;b")", R"("a;b")"},
        {"a,b", R"("a,b")", "a,b"},
        {"say \"hi\"", R"("say ""hi""")", R"("say ""hi""")"},
        {"\"", R"("""")", R"("""")"},
        {"two\nlines", "\"two\nlines\"", "\"two\nlines\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CsvText(c.text), c.text_) << c.text.toStdString();
        EXPECT_EQ(CsvNumber(c.text, ';'), c.number) << c.text.toStdString();
    }
    EXPECT_EQ(CsvNumber("a,b", ','), R"("a,b")");
}

TEST(CsvTest, RowsJoinFieldsAndEndWithCrLf)
{
    EXPECT_EQ(CsvRow({"a", "b;c", ""}, ';'), QByteArray(R"("a";"b;c";"")"
                                                        "\r\n"));
    EXPECT_EQ(CsvRow({"a", "1", "b", "-2.5"}, ',', {1, 3}), QByteArray(R"("a",1,"b",-2.5)"
                                                                       "\r\n"));
    EXPECT_EQ(CsvRow({}, ';'), QByteArray("\r\n"));
}

// What a spreadsheet could take for a formula, however it is dressed: by the
// first character that is not blank once compatibility characters are folded.
// Characters that act rather than show become U+FFFD; the tab stays.
TEST(CsvTest, FormulaLikeTextGetsAnApostropheAndControlsAreReplaced)
{
    const QString ffdf(QChar(0xfffd));
    const struct {
        QString text;
        QString expected;
    } cases[] = {
        {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"},
        {"+7", "'+7"},
        {"-5", "'-5"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tanna", "'\tanna"},
        {"\ranna", "'" + ffdf + "anna"},
        {" =1", "' =1"},
        {"   \t +1", "'   \t +1"},
        {QString(QChar(0x00a0)) + "=1", "'" + QString(QChar(0x00a0)) + "=1"},   // no-break space
        {QString(QChar(0x3000)) + "@x", "'" + QString(QChar(0x3000)) + "@x"},   // ideographic space
        {QString(QChar(0x200b)) + "=1", "'" + QString(QChar(0x200b)) + "=1"},   // zero-width space
        {QString(QChar(0xff1d)) + "1+1", "'" + QString(QChar(0xff1d)) + "1+1"}, // full-width =
        {QString(QChar(0xfe62)) + "1", "'" + QString(QChar(0xfe62)) + "1"},     // small +
        {QString(QChar(0xff0d)) + "1", "'" + QString(QChar(0xff0d)) + "1"},     // full-width -
        {QString(QChar(0xff20)) + "cmd", "'" + QString(QChar(0xff20)) + "cmd"}, // full-width @
        {"", ""},
        {"anna", "anna"},
        {"a=b", "a=b"},
        {" anna", " anna"},
        {"'quoted", "'quoted"},
        {"06-12-2026 09:05:07", "06-12-2026 09:05:07"},
        {QString(QChar(0x2212)) + "1",
         QString(QChar(0x2212)) + "1"}, // the minus sign is no formula
        // Control characters and the bidirectional controls, anywhere.
        {"an\nna", "an" + ffdf + "na"},
        {"a\tb", "a\tb"},
        {QString("a") + QChar(0) + "b" + QChar(0x1b) + "[31m", "a" + ffdf + "b" + ffdf + "[31m"},
        {QString("x") + QChar(0x7f) + QChar(0x85) + QChar(0x9f), "x" + ffdf + ffdf + ffdf},
        {QString("x") + QChar(0xa0) + "y", QString("x") + QChar(0xa0) + "y"},
        {QString(QChar(0x202e)) + "txt.exe", ffdf + "txt.exe"},
        {QString("a") + QChar(0x202a) + QChar(0x202b) + QChar(0x202c) + QChar(0x202d) + "b",
         "a" + ffdf + ffdf + ffdf + ffdf + "b"},
        {QString("a") + QChar(0x2066) + QChar(0x2067) + QChar(0x2068) + QChar(0x2069) + "b",
         "a" + ffdf + ffdf + ffdf + ffdf + "b"},
        {QString("a") + QChar(0x200e) + QChar(0x2065) + QChar(0x206a) + "b",
         QString("a") + QChar(0x200e) + QChar(0x2065) + QChar(0x206a) + "b"},
        // A control character in front hides nothing: the cell begins with U+FFFD.
        {QString(QChar(0x01)) + "=1", ffdf + "=1"},
        {QString(QChar(0x202e)) + "=1", ffdf + "=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpreadsheetText(c.text), c.expected) << c.text.toStdString();
}

// Every stored text is neutralised, the date text of a record too; the
// numbers stay as they are (a negative time per point is a number). Tables and
// profiles hold their texts in Windows-1251: a full-width "＝" or a
// bidirectional control can only come as a nick, the name of a profile file.
TEST_F(ExportTest, FormulaLikeTextsAreWrittenAsTextUnlessRaw)
{
    const QString nbsp(QChar(0x00a0));
    const QString fullWidth(QChar(0xff1d));
    const QString override(QChar(0x202e));
    WriteTable("9", {Result("=1+1", "@cmd", -5, 3, "06-12-2026 09:05:07", 0),
                     Result(" =2", nbsp + "=3", 1, 1, "=HYPERLINK(\"http://x\";\"y\")", -1)});
    WriteUser("+anna", "-Анна", 600, 150);
    WriteUser(fullWidth + "b" + override, "Бо\x1b[2Jрис", 60, 1);
    EXPECT_EQ(ExportRecords(userFolder(), "9", ';').csv,
              kRecordsHeader + Lines({R"("'=1+1";"'@cmd";-5;3;"06-12-2026 09:05:07";0)",
                                      R"("' =2";"')" + nbsp +
                                          R"x(=3";1;1;"'=HYPERLINK(""http://x"";""y"")";-1)x"}));
    EXPECT_EQ(ExportRecords(userFolder(), "9", ';', TextFields::Raw).csv,
              kRecordsHeader + Lines({R"("=1+1";"@cmd";-5;3;"06-12-2026 09:05:07";0)",
                                      R"(" =2";")" + nbsp +
                                          R"x(=3";1;1;"=HYPERLINK(""http://x"";""y"")";-1)x"}));
    EXPECT_EQ(ExportSummary(userFolder(), ';').csv,
              kSummaryHeader +
                  Lines({R"("'+anna";"'-Анна";150;0:10:00; 15.0)",
                         "\"'" + fullWidth + "b\uFFFD\";\"Бо\uFFFD[2Jрис\";1;0:01:00;  1.0"}));
    EXPECT_EQ(ExportSummary(userFolder(), ';', TextFields::Raw).csv,
              kSummaryHeader + Lines({R"("+anna";"-Анна";150;0:10:00; 15.0)",
                                      "\"" + fullWidth + "b" + override +
                                          "\";\"Бо\x1b[2Jрис\";1;0:01:00;  1.0"}));
}

TEST_F(ExportTest, RecordsComeInFileOrderWithTheirStoredValues)
{
    WriteTable("20", {Result("zoe", "Зоя Кац", 475, 20, "06-12-2026 09:05:07", 0),
                      Result("o;brien", "Иван \"Ваня\" Петров", 333, 30, "07-12-2026 10:00:00", 2),
                      Result("anna", kLong, -5, 1, "", 17),
                      Result("Пётр", kLong + "cut", 100000, 0, "08-12-2026 23:59:59", 0)});
    const QString longField = kLong;
    const QByteArray semicolons =
        kRecordsHeader +
        Lines({R"("zoe";"Зоя Кац";475;20;"06-12-2026 09:05:07";0)",
               R"("o;brien";"Иван ""Ваня"" Петров";333;30;"07-12-2026 10:00:00";2)",
               R"("anna";")" + longField + R"(";-5;1;"";17)",
               R"("Пётр";")" + longField + R"(";100000;0;"08-12-2026 23:59:59";0)"});
    const QByteArray commas =
        R"("NikName","ФИО","Time","кол-во","Дата","Ошибок")"
        "\r\n" +
        Lines({R"("zoe","Зоя Кац",475,20,"06-12-2026 09:05:07",0)",
               R"("o;brien","Иван ""Ваня"" Петров",333,30,"07-12-2026 10:00:00",2)",
               R"("anna",")" + longField + R"(",-5,1,"",17)",
               R"("Пётр",")" + longField + R"(",100000,0,"08-12-2026 23:59:59",0)"});
    for (const auto& [separator, expected] : {std::pair{';', semicolons}, {',', commas}}) {
        const ExportResult result = ExportRecords(userFolder(), "20", separator);
        EXPECT_EQ(result.csv, expected) << separator;
        EXPECT_TRUE(result.errors.isEmpty());
        EXPECT_TRUE(result.warnings.isEmpty());
    }
}

TEST_F(ExportTest, EachRangeReadsItsOwnTable)
{
    for (const QString& range : kRanges)
        WriteTable(range,
                   {Result("nick" + range, "Name", range.toInt(), 1, "01-01-2027 00:00:00", 0)});
    for (const QString& range : kRanges) {
        EXPECT_EQ(ExportRecords(userFolder(), range, ';').csv,
                  kRecordsHeader + Lines({R"("nick)" + range + R"(";"Name";)" + range +
                                          R"(;1;"01-01-2027 00:00:00";0)"}));
    }
}

TEST_F(ExportTest, TablesThatAreEmptyCutShortOrMissing)
{
    const ResultRecord one = Result("anna", "Анна", 475, 20, "06-12-2026 09:05:07", 1);
    const QByteArray oneRow =
        kRecordsHeader + Lines({R"("anna";"Анна";475;20;"06-12-2026 09:05:07";1)"});
    const QString table = tablePath("20");
    const struct {
        const char* name;
        std::vector<ResultRecord> records;
        QByteArray tail;
        QByteArray csv;
        QString warning;
    } cases[] = {
        {"no records", {}, {}, kRecordsHeader, {}},
        {"shorter than a record",
         {},
         QByteArray(779, 'x'),
         kRecordsHeader,
         "неполная запись в конце пропущена / incomplete record at the end skipped (779 "
         "bytes): " +
             table},
        {"a partial record after a whole one",
         {one},
         QByteArray(10, '\0'),
         oneRow,
         "неполная запись в конце пропущена / incomplete record at the end skipped (10 "
         "bytes): " +
             table},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteTable("20", c.records, c.tail);
        const ExportResult result = ExportRecords(userFolder(), "20", ';');
        EXPECT_EQ(result.csv, c.csv);
        EXPECT_TRUE(result.errors.isEmpty());
        EXPECT_EQ(result.warnings, c.warning.isEmpty() ? QStringList() : QStringList{c.warning});
    }

    QFile::remove(table);
    ExportResult missing = ExportRecords(userFolder(), "20", ';');
    EXPECT_TRUE(missing.csv.isEmpty());
    EXPECT_EQ(missing.errors,
              QStringList{"нет таблицы рекордов / records table not found: " + table});

    ASSERT_TRUE(QDir().mkdir(table));
    ExportResult folder = ExportRecords(userFolder(), "20", ';');
    EXPECT_TRUE(folder.csv.isEmpty());
    EXPECT_EQ(folder.errors,
              QStringList{"не удалось прочитать / cannot read " + table + ": not a file"});
}

TEST_F(ExportTest, SummaryHasOneSortedRowPerProfile)
{
    WriteUser("zoe", "Зоя Кац", 600, 150);
    WriteUser("o;brien", "Иван \"Ваня\" Петров", 0, 0);
    WriteUser("Anna", kLong, 360000, 6000);
    WriteUser("boris", "Борис", 3725, 1);
    WriteUser("anna", "", 3000, 600);
    const QString longField = kLong;
    EXPECT_EQ(ExportSummary(userFolder(), ';').csv,
              kSummaryHeader +
                  Lines({R"("Anna";")" + longField + R"(";6000;100:00:00;  1.0)",
                         R"("anna";"";600;0:50:00; 12.0)", R"("boris";"Борис";1;1:02:05;  0.0)",
                         R"("o;brien";"Иван ""Ваня"" Петров";0;0:00:00;  0.0)",
                         R"("zoe";"Зоя Кац";150;0:10:00; 15.0)"}));
    EXPECT_EQ(ExportSummary(userFolder(), ',').csv,
              R"("НИК","ФИО","Всего очков","Всего времени","Время")"
              "\r\n" +
                  Lines({R"("Anna",")" + longField + R"(",6000,100:00:00,  1.0)",
                         R"("anna","",600,0:50:00, 12.0)", R"("boris","Борис",1,1:02:05,  0.0)",
                         R"("o;brien","Иван ""Ваня"" Петров",0,0:00:00,  0.0)",
                         R"("zoe","Зоя Кац",150,0:10:00, 15.0)"}));
}

TEST_F(ExportTest, CyrillicNicksAndNamesComeOutAsUtf8)
{
    WriteUser("Петя", "Петров Пётр", 60, 10);
    const ExportResult result = ExportSummary(userFolder(), ';');
    EXPECT_EQ(result.csv,
              kSummaryHeader +
                  QByteArray("\"\xd0\x9f\xd0\xb5\xd1\x82\xd1\x8f\";"
                             "\"\xd0\x9f\xd0\xb5\xd1\x82\xd1\x80\xd0\xbe\xd0\xb2 "
                             "\xd0\x9f\xd1\x91\xd1\x82\xd1\x80\";10;0:01:00; 10.0\r\n"));
    EXPECT_TRUE(result.errors.isEmpty());
}

TEST_F(ExportTest, BadProfilesAreNamedAndTheOthersStillExported)
{
    WriteUser("anna", "Анна", 600, 150);
    WriteUser("zoe", "Зоя", 60, 1);
    writeFile(userFolder() + "short.zamrik", QByteArray(467, '\0'));
    writeFile(userFolder() + ".zamrik", QByteArray(468, '\0'));              // no nick: not listed
    ASSERT_TRUE(QFile::link("/proc/self/mem", userFolder() + "mem.zamrik")); // a link: not listed
    ASSERT_TRUE(QDir().mkdir(userFolder() + "folder.zamrik")); // not a profile: not listed

    const ExportResult result = ExportSummary(userFolder(), ';');
    EXPECT_EQ(result.csv, kSummaryHeader + Lines({R"("anna";"Анна";150;0:10:00; 15.0)",
                                                  R"("zoe";"Зоя";1;0:01:00;  1.0)"}));
    const QString prefix = "не удалось прочитать / cannot read " + userFolder();
    ASSERT_EQ(result.errors.size(), 1) << result.errors.join('\n').toStdString();
    EXPECT_EQ(result.errors[0], prefix + "short.zamrik: Read beyond end of file");
}

TEST_F(ExportTest, EmptyAndMissingFolders)
{
    const ExportResult empty = ExportSummary(userFolder(), ';');
    EXPECT_EQ(empty.csv, kSummaryHeader);
    EXPECT_TRUE(empty.errors.isEmpty());

    for (const QString& folder : {tempPath("nowhere"), tempPath("nowhere/"), QString()}) {
        const QString message = "папка класса не найдена / class folder not found: " + folder;
        for (const ExportResult& result :
             {ExportSummary(folder, ';'), ExportRecords(folder, "20", ';')}) {
            EXPECT_TRUE(result.csv.isEmpty());
            EXPECT_EQ(result.errors, QStringList{message});
        }
    }
    writeFile(tempPath("plain"), "x");
    EXPECT_EQ(
        ExportSummary(tempPath("plain"), ';').errors,
        QStringList{"папка класса не найдена / class folder not found: " + tempPath("plain")});
}

TEST_F(ExportTest, RelativeFolderWithoutTrailingSeparator)
{
    WriteUser("anna", "Анна", 600, 150);
    WriteTable("9", {Result("anna", "Анна", 475, 20, "06-12-2026 09:05:07", 0)});
    ASSERT_TRUE(QDir::setCurrent(tempPath("")));
    EXPECT_EQ(ExportSummary("users", ';').csv,
              kSummaryHeader + Lines({R"("anna";"Анна";150;0:10:00; 15.0)"}));
    EXPECT_EQ(ExportRecords("users", "9", ';').csv,
              kRecordsHeader + Lines({R"("anna";"Анна";475;20;"06-12-2026 09:05:07";0)"}));
}

// Every entry of the folder with its bytes, size and modification time.
std::map<QString, QString> Snapshot(const QString& folder)
{
    std::map<QString, QString> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        QFile file(info.filePath());
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        entries[info.fileName()] = QString::number(info.lastModified().toMSecsSinceEpoch()) + ' ' +
                                   QString::fromLatin1(bytes.toHex());
    }
    return entries;
}

TEST_F(ExportTest, NothingInTheFolderChanges)
{
    WriteUser("anna", "Анна", 600, 150);
    writeFile(userFolder() + "short.zamrik", QByteArray(10, 'x'));
    WriteTable("20", {Result("anna", "Анна", 475, 20, "06-12-2026 09:05:07", 0)}, "tail");
    writeFile(userFolder() + "20record.conf", QByteArray(776, 'x')); // an old table stays old
    const auto before = Snapshot(userFolder());
    ExportSummary(userFolder(), ';');
    for (const QString& range : kRanges)
        ExportRecords(userFolder(), range, ';');
    EXPECT_EQ(Snapshot(userFolder()), before);
}

TEST_F(ExportTest, DefaultFolderComesFromTheStoreElseTheProgramFolder)
{
    EXPECT_EQ(DefaultClassFolder(), programFolder());
    const struct {
        const char* value;
        QString folder;
    } cases[] = {
        {"\"/srv/class\"", "/srv/class/"}, {"\"/srv/class//\"", "/srv/class/"}, {"\"\"", ""}};
    for (const auto& c : cases) {
        writeFile(
            storePath(),
            QByteArray("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n\"PathUser\"=") +
                c.value + "\n");
        EXPECT_EQ(DefaultClassFolder(), c.folder) << c.value;
    }
    writeFile(storePath(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]"
                           "\n\"PathUser\"=dword:00000001\n");
    try {
        DefaultClassFolder();
        ADD_FAILURE() << "no StoreError";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.text(), "Invalid data type for 'PathUser'");
    }
}

TEST_F(ExportTest, ReadingTheStoreCreatesNothing)
{
    ASSERT_FALSE(QFileInfo::exists(storePath()));
    DefaultClassFolder();
    EXPECT_FALSE(QFileInfo::exists(storePath()));
}

} // namespace

// The export reads while no copy of the program is in the middle of a save:
// it waits for the folder's lock, and takes it shared.
TEST_F(ExportTest, WaitsForASaveUnderWayInAnotherCopy)
{
    WriteUser("anna", "Анна", 600, 150);
    LinePipe reports;
    std::optional<FolderLock> save;
    save.emplace(userFolder(), FolderLock::Mode::Exclusive);
    const QString folder = userFolder();
    const pid_t child = StartChild([&reports, folder] {
        const ExportResult result = ExportSummary(folder, ';');
        reports.send(result.errors.isEmpty() ? "exported" : "failed");
        return true;
    });
    EXPECT_EQ(reports.receiveOne(300), QByteArray()) << "the export did not wait";
    save.reset();
    EXPECT_EQ(reports.receiveOne(), "exported");
    EXPECT_EQ(WaitChild(child), 0);
}
