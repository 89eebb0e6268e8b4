// The range chooser, the personal statistics and the summary table windows.

#include "accounts/user_profile.h"
#include "platform/errors.h"
#include "records/records_fixture.h"
#include "records/ui/form10_summary.h"
#include "records/ui/form11_records.h"
#include "records/ui/form12_range.h"
#include "records/ui/form8_statistics.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>

namespace {

void WriteUser(const QString& nick, const QString& fullName, qint32 seconds, qint32 points)
{
    UserProfile profile;
    profile.fullName = fullName;
    profile.totalTime = seconds;
    profile.totalPoints = points;
    ASSERT_TRUE(WriteProfile(nick, profile));
}

} // namespace

TEST_F(RecordsTest, RangeChooserAppliesCheckedRange)
{
    TForm12 form(state().range);
    EXPECT_TRUE(form.RadioButton2->isChecked());
    QString label;
    QObject::connect(&form, &TForm12::rangeApplied,
                     [&label](const QString& text) { label = text; });
    const struct {
        QRadioButton* radio;
        qint32 bound;
        const char* text;
    } cases[] = {{form.RadioButton4, 999, "999"},
                 {form.RadioButton1, 9, "9"},
                 {form.RadioButton3, 99, "99"},
                 {form.RadioButton2, 20, "20"}};
    QWidget* checked = form.RadioButton2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        form.show();
        c.radio->click();
        form.Button1->click();
        EXPECT_EQ(currentRange().rangeBound, c.bound);
        EXPECT_EQ(currentRange().rangeText, c.text);
        EXPECT_EQ(label, QString("0-") + c.text);
        EXPECT_FALSE(form.isVisible());
    }
}

// "OK" sets the range the chooser is handed; the program state's stays.
TEST_F(RecordsTest, RangeChooserSetsTheRangeItIsHanded)
{
    NumberRange handed;
    TForm12 form(handed);
    form.RadioButton3->click();
    form.Button1->click();
    EXPECT_EQ(handed.rangeText, "99");
    EXPECT_EQ(handed.rangeBound, 99);
    EXPECT_EQ(currentRange().rangeText, "20");
}

TEST_F(RecordsTest, ClosingRangeChooserAppliesNothing)
{
    TForm12 form(state().range);
    bool applied = false;
    QObject::connect(&form, &TForm12::rangeApplied, [&applied] { applied = true; });
    form.show();
    form.RadioButton4->click();
    form.close();
    EXPECT_FALSE(applied);
    EXPECT_EQ(currentRange().rangeText, "20");
    EXPECT_TRUE(form.RadioButton4->isChecked());

    // The next finished exercise goes to the table of the range applied by "OK".
    form.Button1->click();
    AppendResultRecord(Result("anna", 475));
    EXPECT_TRUE(QFile::exists(tablePath("999")));
    EXPECT_FALSE(QFile::exists(tablePath("20")));
}

TEST_F(RecordsTest, StatisticsShowTotals)
{
    const struct {
        qint32 seconds, points;
        const char *time, *speed;
    } cases[] = {{0, 0, "0:00:00", "  0.0"},
                 {600, 150, "0:10:00", " 15.0"},
                 {360000, 6000, "100:00:00", "  1.0"}};
    TForm8 form(state().classFolder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        WriteUser("anna", "Петрова Анна", c.seconds, c.points);
        form.ShowUserStatistics("anna");
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.StaticText2->text(), QString::number(c.points));
        EXPECT_EQ(form.StaticText4->text(), c.time);
        EXPECT_EQ(form.StaticText6->text(), c.speed);
        EXPECT_EQ(form.StaticText8->text(), "anna");
        EXPECT_EQ(form.StaticText10->text(), "Петрова Анна");
    }
    EXPECT_TRUE(dialogs_.shown.isEmpty());
}

TEST_F(RecordsTest, StatisticsRefuseWhatCannotBeShown)
{
    writeFile(userFolder() + "short.zamrik", QByteArray(100, 'a'));
    const struct {
        const char* nick;
        const char* message; // nullptr: the read raises instead
    } cases[] = {{"", "Необходимо зайти с каким-нибудь именем (создайте пользователя)"},
                 {"ghost", "Error 11 :ghost"},
                 {"short", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nick);
        TForm8 form(state().classFolder);
        dialogs_.messages.clear();
        if (c.message) {
            form.ShowUserStatistics(c.nick);
            EXPECT_EQ(dialogs_.messages, QStringList{c.message});
        } else {
            EXPECT_THROW(form.ShowUserStatistics(c.nick), IoError);
        }
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.StaticText8->text(), "");
    }
    EXPECT_EQ(dialogs_.endRequests, 0);
}

TEST_F(RecordsTest, SummaryOfEmptyFolderIsTitleRowAlone)
{
    TForm10 form(state().classFolder, state().adminRecord.record);
    EXPECT_EQ(form.gridRowCount(), 2);
    EXPECT_EQ(form.gridCell(0, 0), "НИК");
    EXPECT_EQ(form.gridCell(0, 4), "Время");
    form.LoadSummaryTable();
    EXPECT_EQ(form.gridRowCount(), 1);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(RecordsTest, SummaryListsEveryProfileInFolderOrder)
{
    WriteUser("anna", "Петрова Анна", 600, 150);
    TForm10 form(state().classFolder, state().adminRecord.record);
    form.LoadSummaryTable();
    ASSERT_EQ(form.gridRowCount(), 2);

    WriteUser("boris", "Борисов Борис", 0, 0);
    writeFile(userFolder() + "notes.zamrik.txt", "not a profile");
    form.LoadSummaryTable();
    const QStringList nicks = ListProfiles();
    ASSERT_EQ(form.gridRowCount(), 3);
    for (int row = 1; row <= 2; ++row)
        EXPECT_EQ(form.gridCell(row, 0), nicks[row - 1]);
    const int anna = nicks.indexOf("anna") + 1;
    const QStringList annaRow = {"anna", "Петрова Анна", "150", "0:10:00", " 15.0"};
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(form.gridCell(anna, column), annaRow[column]);
    EXPECT_TRUE(dialogs_.shown.isEmpty());
}

// Column 0 of both grids is a fixed column: drawn like the title row and
// left out of every selection.
TEST_F(RecordsTest, GridsKeepColumnZeroFixed)
{
    WriteUser("anna", "Петрова Анна", 600, 150);
    writeFile(tablePath(), Table({Result("anna", 30)}));
    TForm10 summary(state().classFolder, state().adminRecord.record);
    summary.LoadSummaryTable();
    TForm11 records(state().range, state().classFolder);
    records.LoadRecordsTable();
    const QBrush title = QApplication::palette().button();
    for (QTableView* grid : {static_cast<QTableView*>(summary.StringGrid1), records.StringGrid1}) {
        SCOPED_TRACE(grid->window()->metaObject()->className());
        QAbstractItemModel* model = grid->model();
        ASSERT_GE(model->rowCount(), 1);
        EXPECT_EQ(model->index(0, 0).data(Qt::BackgroundRole).value<QBrush>(), title);
        EXPECT_FALSE(model->index(0, 1).data(Qt::BackgroundRole).isValid());
        grid->selectAll();
        const QModelIndexList selected = grid->selectionModel()->selectedIndexes();
        EXPECT_EQ(selected.size(), model->rowCount() * (model->columnCount() - 1));
        for (const QModelIndex& index : selected)
            EXPECT_NE(index.column(), 0);
    }
}

TEST_F(RecordsTest, SummaryLeavesOutFilesNoNickOpens)
{
    WriteUser("anna", "Петрова Анна", 600, 150);
    QFile::copy(userFolder() + "anna.zamrik", userFolder() + "Bob.ZAMRIK");
    TForm10 form(state().classFolder, state().adminRecord.record);
    form.LoadSummaryTable();
    ASSERT_EQ(form.gridRowCount(), 2);
    EXPECT_EQ(form.gridCell(1, 0), "anna");
    EXPECT_TRUE(dialogs_.shown.isEmpty());
}
