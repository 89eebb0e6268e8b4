// Nicks and full names that look like markup show as typed in every window and
// in the boxes that quote them: never as bold text, a picture or a link, and a
// screen reader reads the same characters.

#include "accounts/user_profile.h"
#include "program_test_env.h"
#include "records/result_record.h"
#include "support/accessibility.h"
#include "support/bad_files.h"
#include "ui/qt_dialogs.h"
#include "ui/real_boxes.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct Name {
    QString nick;
    QString fullName;
};

// Installs the program's own boxes for one scope.
struct QtDialogsInstalled {
    QtDialogsInstalled() { setDialogs(&QtDialogs()); }
    ~QtDialogsInstalled() { setDialogs(nullptr); }
};

class StoredTextsTest : public ProgramTest {
  protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        // A picture that a label would load from a full name: shown, it would
        // make the label as tall as itself.
        const QString picture = tempPath("tall.png");
        QImage tall(20, 400, QImage::Format_RGB32);
        tall.fill(Qt::blue);
        ASSERT_TRUE(tall.save(picture));
        // The nicks pass the new user's rules (no "/", ".", ":"); the full
        // names may hold any markup.
        names = {
            {QStringLiteral("<b>Петя<b>"), QStringLiteral("<b>Петя</b>")},
            {QStringLiteral("<img src=x>"), "<img src=\"" + picture + "\">"},
            {QStringLiteral("<a href=x>x<a>"), QStringLiteral("<a href=\"http://x/\">x</a>")},
            {QStringLiteral("&amp;"), QStringLiteral("Петя &amp; Вася & Co")},
        };
    }

    static void Login(ProgramWindows& w, const QString& nick)
    {
        w.form1().N6->trigger();
        w.form4().ComboBox1->setEditText(nick);
        w.form4().Button1->click();
        ASSERT_EQ(currentUser().nick.toStdString(), nick.toStdString());
    }

    std::vector<Name> names;
};

// What a person sees on a label: the stored text in plain text, one line
// high, and read so by a screen reader.
void ExpectShownAsStored(QLabel* label, const QString& text)
{
    SCOPED_TRACE(label->window()->objectName().toStdString() + " " +
                 label->objectName().toStdString());
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text().toStdString(), text.toStdString());
    EXPECT_LT(label->sizeHint().height(), 2 * label->fontMetrics().height());
    EXPECT_EQ(ReadingFault(label).toStdString(), "");
}

// The texts of the grid row (1 and on) whose cell `column` reads `text`.
template <typename Window>
QStringList GridRowWith(const Window& window, int column, const QString& text)
{
    for (int row = 1; row < window.gridRowCount(); ++row) {
        if (window.gridCell(row, column) != text)
            continue;
        QStringList cells;
        for (int c = 0; c < 3; ++c)
            cells << window.gridCell(row, c);
        return cells;
    }
    return {};
}

TEST_F(StoredTextsTest, NamesLikeMarkupShowAsTypedInEveryWindow)
{
    StartedProgram w;
    TForm1& main = w.form1();
    for (const Name& n : names) {
        main.N9->trigger();
        w.form6().Edit1->setText(n.nick);
        w.form6().Edit2->setText(n.fullName);
        w.form6().Button1->click();
        ASSERT_EQ(dialogs.messages.join(" | ").toStdString(), "Пользователь создан")
            << n.nick.toStdString();
        dialogs.messages.clear();
        ResultRecord record;
        record.nick = n.nick;
        record.fullName = n.fullName;
        record.points = 10;
        record.timePerExample = 100;
        record.finishedAt = QStringLiteral("01-02-2026 10:11:12");
        AppendResultRecord(record);
    }
    dialogs.shown.clear();

    // The pupil logged in: the main window, her statistics, the records table.
    for (const Name& n : names) {
        SCOPED_TRACE("pupil " + n.nick.toStdString());
        Login(w, n.nick);
        ExpectShownAsStored(main.StaticText15, n.nick);
        ExpectShownAsStored(main.StaticText13, n.fullName);
        main.N10->trigger();
        ASSERT_TRUE(w.form8().isVisible());
        ExpectShownAsStored(w.form8().StaticText8, n.nick);
        ExpectShownAsStored(w.form8().StaticText10, n.fullName);
        main.N11->trigger();
        EXPECT_EQ(GridRowWith(w.form11(), 1, n.nick).mid(1), (QStringList{n.nick, n.fullName}));
    }

    // The administrator: the user list, a user's statistics, the summary table.
    Login(w, "ADM");
    main.ADM2->trigger();
    TForm9& service = w.form9();
    for (const Name& n : names) {
        SCOPED_TRACE("service " + n.nick.toStdString());
        const QString entry = n.nick + " (" + n.fullName + ")";
        const int item = service.ComboBox1->findText(entry);
        ASSERT_GE(item, 0);
        service.ComboBox1->setCurrentIndex(item);
        EXPECT_EQ(service.ComboBox1->currentText().toStdString(), entry.toStdString());
        EXPECT_EQ(ReadingFault(service.ComboBox1).toStdString(), "");
        w.form8().hide();
        service.Button1->click();
        ASSERT_TRUE(w.form8().isVisible());
        ExpectShownAsStored(w.form8().StaticText8, n.nick);
        ExpectShownAsStored(w.form8().StaticText10, n.fullName);
    }
    service.Button4->click();
    ASSERT_TRUE(w.form10().isVisible());
    for (const Name& n : names)
        EXPECT_EQ(GridRowWith(w.form10(), 0, n.nick), (QStringList{n.nick, n.fullName, "0"}));
    EXPECT_EQ(dialogs.shown.join(" | ").toStdString(), "");
}

// The messages that quote a nick whose profile cannot be read: the pupil's
// statistics and the administrator's password reset.
TEST_F(StoredTextsTest, BoxesThatQuoteANickShowItAsTyped)
{
    for (const Name& n : names) {
        SCOPED_TRACE(n.nick.toStdString());
        UserProfile profile;
        profile.fullName = n.fullName;
        ASSERT_TRUE(WriteProfile(n.nick, profile));
        StartedProgram w;
        Login(w, n.nick);
        // The profile is replaced by a pipe, which is never read.
        QFile::remove(ProfilePath(n.nick));
        MakeBadFile(ProfilePath(n.nick), BadFile::Pipe, kUserProfileSize);

        QtDialogsInstalled real;
        RealBoxes boxes({{BoxKey::Enter}, {BoxKey::Enter}, {BoxKey::Enter}});
        w.form1().N10->trigger();
        w.form9().ComboBox1->setEditText(n.nick);
        w.form9().Button2->click();
        const QStringList expected = {"Error 11 :" + n.nick, QStringLiteral("Обнулить пароль?"),
                                      "Error 12 :" + n.nick};
        EXPECT_EQ(boxes.texts(), expected.join(" | ").toStdString());
        for (const SeenBox& box : boxes.seen)
            EXPECT_EQ(box.textFormat, Qt::PlainText) << box.text.toStdString();
        QFile::remove(ProfilePath(n.nick));
    }
}

} // namespace
