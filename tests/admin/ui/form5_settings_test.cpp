// The settings window: filling, the checks while typing, the spinners, the
// defaults, the folder and companion buttons, and saving to the machine store.

#include "admin/ui/form5_settings.h"
#include "config/app_config.h"
#include "platform/config_store.h"
#include "platform/shell.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "ui/shell_open.h"
#include "util/files.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <optional>

namespace {

const QString kBadFields = QStringLiteral("Неправильно заполненые параметры (см документацию)");
const QString kSaved = QStringLiteral("Конфигурация сохранена,перезапустите программу");
const QString kNoRights = QStringLiteral("Нужно зайти с правами администратора на компьютере");
const QString kNegative = QStringLiteral("Число не может быть отрицательным");
const QString kBelowOne4 = QStringLiteral("Число не может быть меньше 1");
const QString kBelowOne5 = QStringLiteral("Число не может быть меньще 1");

class SettingsWindowTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        form = std::make_unique<TForm5>(state().config, state().classFolder);
    }

    void TearDown() override
    {
        SetShellOpenHook({});
        ZelvoTest::TearDown();
    }

    // Puts texts into the four number edits and the folder edit.
    void enter(const QString& e2, const QString& e3, const QString& e4, const QString& e5,
               const QString& folder)
    {
        form->Edit2->setText(e2);
        form->Edit3->setText(e3);
        form->Edit4->setText(e4);
        form->Edit5->setText(e5);
        form->Edit8->setText(folder);
    }

    // Clicks "Сохранить" with only the save's own messages recorded.
    void save()
    {
        dialogs.messages.clear();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    }

    // What the next start reads: a fresh configuration, then LoadConfig.
    void loadAsAtStart()
    {
        appConfig() = AppConfig();
        appConfig().PathUser = ProgramFolder();
        LoadConfig();
    }

    static std::optional<QString> storedString(const QString& name)
    {
        return StoreKey::openRead(QString::fromLatin1(kConfigKey)).readString(name);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<TForm5> form;
};

TEST_F(SettingsWindowTest, SavesValidSettingsForTheNextStart)
{
    // Folders are written with {tmp} for the test's temporary directory.
    struct Case {
        const char* name;
        QString edits[4];
        QString folder;
        bool noSound;
        QString admConf;
        ScoringSettings loaded;
        std::optional<QString> pathUser; // empty: the value is deleted
        QString loadedFolder;
    };
    const Case cases[] = {
        {"another folder, zero streak",
         {"0", "3", "50", "1"},
         "{tmp}/users/",
         true,
         "0|3|50|1",
         {0, 3, 50, 1},
         QString("{tmp}/users"),
         "{tmp}/users/"},
        {"program folder with extra separators",
         {"5", "2", "2", "2"},
         "{tmp}/program///",
         false,
         "5|2|2|2",
         {5, 2, 2, 2},
         std::nullopt,
         "{tmp}/program/"},
        {"program folder in other letter case, hex and blank",
         {" $A", "+2", "1", "50"},
         "{tmp}/PROGRAM",
         false,
         "10|2|1|50",
         {10, 2, 1, 50},
         std::nullopt,
         "{tmp}/program/"},
        {"folder created on save",
         {"1", "1", "1", "1"},
         "{tmp}/new/sub/",
         false,
         "1|1|1|1",
         {1, 1, 1, 1},
         QString("{tmp}/new/sub"),
         "{tmp}/new/sub/"},
        {"root folder keeps its separator",
         {"5", "2", "2", "2"},
         "/",
         false,
         "5|2|2|2",
         {5, 2, 2, 2},
         QString("/"),
         "/"},
    };
    const QString tmp = StripTrailingSeparators(tempPath(QString()));
    auto at = [&](QString text) { return text.replace("{tmp}", tmp); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(storePath());
        StoreKey::openFull(QString::fromLatin1(kConfigKey), true)
            ->writeString("PathUser", "/elsewhere");
        dialogs.endRequests = 0;

        enter(c.edits[0], c.edits[1], c.edits[2], c.edits[3], at(c.folder));
        form->CheckBox2->setChecked(c.noSound);
        save();

        EXPECT_EQ(dialogs.messages, QStringList{kSaved});
        EXPECT_EQ(dialogs.endRequests, 1);
        EXPECT_EQ(storedString("AdmConf"), c.admConf);
        EXPECT_EQ(storedString("PathUser"),
                  c.pathUser ? std::optional<QString>(at(*c.pathUser)) : std::nullopt);

        loadAsAtStart();
        const ScoringSettings& s = appConfig().Scoring;
        EXPECT_EQ(s.rightStreakLength, c.loaded.rightStreakLength);
        EXPECT_EQ(s.wrongStreakLength, c.loaded.wrongStreakLength);
        EXPECT_EQ(s.bonusPoints, c.loaded.bonusPoints);
        EXPECT_EQ(s.penaltyPoints, c.loaded.penaltyPoints);
        EXPECT_EQ(appConfig().PathUser, at(c.loadedFolder));
        EXPECT_EQ(appConfig().NoSound, c.noSound);
        EXPECT_TRUE(FolderExists(at(c.folder)));
    }
}

TEST_F(SettingsWindowTest, RefusesAnInvalidField)
{
    struct Case {
        QLineEdit* TForm5::*edit;
        QString text;
    };
    const Case cases[] = {
        {&TForm5::Edit2, "-1"}, {&TForm5::Edit2, "text"},       {&TForm5::Edit3, "-1"},
        {&TForm5::Edit3, ""},   {&TForm5::Edit3, "2147483648"}, {&TForm5::Edit4, "51"},
        {&TForm5::Edit4, "0"},  {&TForm5::Edit4, "1 "},         {&TForm5::Edit5, "51"},
        {&TForm5::Edit5, "-1"}, {&TForm5::Edit5, "text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.text).toStdString());
        enter("5", "2", "2", "2", userFolder());
        (form.get()->*c.edit)->setText(c.text);
        save();
        EXPECT_EQ(dialogs.messages, QStringList{kBadFields});
        EXPECT_EQ(dialogs.endRequests, 0);
        EXPECT_FALSE(QFileInfo::exists(storePath()));
    }
}

TEST_F(SettingsWindowTest, RefusesAFolderThatCannotBeMade)
{
    writeFile(tempPath("plain"), "x");
    for (const QString& folder : {QString(), tempPath("plain/sub")}) {
        enter("5", "2", "2", "2", folder);
        save();
        EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Нет такой папки : ") + folder});
        EXPECT_EQ(dialogs.endRequests, 0);
        EXPECT_FALSE(QFileInfo::exists(storePath()));
    }
}

TEST_F(SettingsWindowTest, WithoutRightsTheProgramEndsBeforeAnyCheck)
{
    writeFile(tempPath("plain"), "x");
    qputenv("ZELVO_MACHINE_STORE", tempPath("plain/machine.reg").toLocal8Bit());
    enter("5", "2", "51", "2", QString());
    save();
    EXPECT_EQ(dialogs.messages, QStringList{kNoRights});
    EXPECT_EQ(dialogs.endRequests, 1);
}

TEST_F(SettingsWindowTest, FillingWarnsAboutStoredValuesOutOfRange)
{
    StoreKey::openFull(QString::fromLatin1(kConfigKey), true)->writeString("AdmConf", "-4|0|0|500");
    loadAsAtStart();
    appConfig().NoSound = true;
    form->FillSettingsWindow();

    EXPECT_EQ(dialogs.messages, (QStringList{kNegative, kBelowOne4}));
    const QLineEdit* edits[] = {form->Edit2, form->Edit3, form->Edit4, form->Edit5};
    const QSpinBox* spinners[] = {form->UpDown2, form->UpDown3, form->UpDown4, form->UpDown5};
    const char* texts[] = {"-4", "0", "0", "500"};
    const int positions[] = {1, 1, 1, 100};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(edits[i]->text(), texts[i]);
        EXPECT_EQ(spinners[i]->value(), positions[i]);
    }
    EXPECT_EQ(form->Edit8->text(), programFolder());
    EXPECT_TRUE(form->CheckBox2->isChecked());

    // Refilling with the same values changes no text, so no check runs.
    dialogs.messages.clear();
    form->FillSettingsWindow();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SettingsWindowTest, TypingChecksWarnOrMoveTheSpinner)
{
    struct Case {
        QLineEdit* TForm5::*edit;
        QSpinBox* TForm5::*spinner;
        QString typed;
        QString message; // empty: none
        int position;
    };
    const Case cases[] = {
        {&TForm5::Edit2, &TForm5::UpDown2, "-1", kNegative, 5},
        {&TForm5::Edit2, &TForm5::UpDown2, "77", QString(), 77},
        {&TForm5::Edit3, &TForm5::UpDown3, "-7", kNegative, 2},
        {&TForm5::Edit3, &TForm5::UpDown3, "0", QString(), 1},
        {&TForm5::Edit4, &TForm5::UpDown4, "0", kBelowOne4, 2},
        {&TForm5::Edit4, &TForm5::UpDown4, "abc", QString(), 2},
        {&TForm5::Edit5, &TForm5::UpDown5, "-3", kBelowOne5, 2},
        {&TForm5::Edit5, &TForm5::UpDown5, "$20", QString(), 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        form->FillSettingsWindow();
        QLineEdit* edit = form.get()->*c.edit;
        edit->clear();
        dialogs.messages.clear();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(dialogs.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ((form.get()->*c.spinner)->value(), c.position);
        EXPECT_EQ(edit->text(), c.typed); // the checks only warn
    }
}

TEST_F(SettingsWindowTest, SpinnerClickWritesItsEditAndReachesBeyondTheSavedRange)
{
    form->FillSettingsWindow();
    form->Edit4->setText("50");
    form->UpDown4->stepUp();
    EXPECT_EQ(form->Edit4->text(), "51");
    form->UpDown2->stepDown();
    EXPECT_EQ(form->Edit2->text(), "4");
    EXPECT_EQ(form->Edit3->text(), "2");

    form->Edit8->setText(userFolder());
    save();
    EXPECT_EQ(dialogs.messages, QStringList{kBadFields});
}

TEST_F(SettingsWindowTest, DefaultsButtonRefillsWithoutSaving)
{
    appConfig().Scoring = {9, 8, 7, 6};
    appConfig().NoSound = true;
    form->FillSettingsWindow();
    form->Edit8->setText("typed");

    QTest::mouseClick(form->Button2, Qt::LeftButton);

    EXPECT_EQ(form->Edit2->text(), "5");
    EXPECT_EQ(form->Edit3->text(), "2");
    EXPECT_EQ(form->Edit4->text(), "2");
    EXPECT_EQ(form->Edit5->text(), "2");
    EXPECT_EQ(form->UpDown2->value(), 5);
    EXPECT_FALSE(form->CheckBox2->isChecked());
    EXPECT_EQ(form->Edit8->text(), userFolder());
    EXPECT_EQ(appConfig().Scoring.rightStreakLength, 5);
    EXPECT_FALSE(appConfig().NoSound);
    EXPECT_FALSE(QFileInfo::exists(storePath()));
}

// The window shows and resets the configuration it is handed; the program
// state's stays as it was.
TEST_F(SettingsWindowTest, ShowsAndResetsTheConfigurationItIsHanded)
{
    AppConfig handed;
    handed.Scoring = {9, 8, 7, 6};
    handed.PathUser = tempPath("handed/");
    appConfig().Scoring = {3, 3, 3, 3};
    TForm5 settings(handed, state().classFolder);
    settings.FillSettingsWindow();
    EXPECT_EQ(settings.Edit2->text(), "9");
    EXPECT_EQ(settings.Edit8->text(), tempPath("handed/"));

    QTest::mouseClick(settings.Button2, Qt::LeftButton);
    EXPECT_EQ(handed.Scoring.rightStreakLength, 5);
    EXPECT_EQ(settings.Edit2->text(), "5");
    EXPECT_EQ(appConfig().Scoring.rightStreakLength, 3);
}

TEST_F(SettingsWindowTest, FolderButtonTakesTheChoiceAndEmptiesOnCancel)
{
    dialogs.folderAnswers = {userFolder() + "chosen"};
    QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(form->Edit8->text(), userFolder() + "chosen");

    QTest::mouseClick(form->SpeedButton1, Qt::LeftButton); // cancelled
    EXPECT_EQ(form->Edit8->text(), QString());

    form->Edit2->setText("5");
    form->Edit3->setText("2");
    form->Edit4->setText("2");
    form->Edit5->setText("2");
    save();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Нет такой папки : ")});
}

TEST_F(SettingsWindowTest, CompanionButtonStartsItOrNamesTheMissingFile)
{
    QStringList opened;
    SetShellOpenHook([&](const QString& file, const QString& folder) {
        opened << file + "|" + folder;
        return true;
    });
    const QString companion = programFolder() + "ELEVHELP.exe";

    QTest::mouseClick(form->Button3, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Нет файла: ") + companion});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(dialogs.endRequests, 0);

    writeFile(companion, "#!/bin/sh\n");
    dialogs.messages.clear();
    QTest::mouseClick(form->Button3, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{companion + "|" + programFolder()});
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Запустите снова программу")});
    EXPECT_EQ(dialogs.endRequests, 1);
}

TEST_F(SettingsWindowTest, ControlsCarryTheirHints)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Установки ADM"));
    EXPECT_FALSE(form->isVisible());
    const std::pair<QWidget*, QString> cases[] = {
        {form->StaticText3, ""}, {form->Edit2, ">0"}, {form->Edit3, ">0"}, {form->Edit4, "1-50"},
        {form->Edit5, "1-50"},   {form->Edit8, ""},   {form->UpDown5, ""}, {form->CheckBox2, ""},
        {form->Button3, ""},     {form->Button2, ""}, {form->Button1, ""},
    };
    for (const auto& [control, hint] : cases)
        EXPECT_EQ(control->toolTip(), hint) << control->objectName().toStdString();
}

TEST_F(SettingsWindowTest, TabGoesThroughTheRowsTopToBottom)
{
    form->show();
    QApplication::setActiveWindow(form.get());
    form->Edit2->setFocus();
    QWidget* expected[] = {form->Edit2,   form->UpDown2,      form->Edit4,     form->UpDown4,
                           form->Edit3,   form->UpDown3,      form->Edit5,     form->UpDown5,
                           form->Edit8,   form->SpeedButton1, form->CheckBox2, form->Button3,
                           form->Button2, form->Button1};
    for (QWidget* w : expected) {
        EXPECT_EQ(QApplication::focusWidget(), w) << w->objectName().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

} // namespace
