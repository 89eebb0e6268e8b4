// The records table window: loading, the four orders, the new result selected.

#include "records/records_fixture.h"
#include "records/ui/form11_records.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace {

QStringList Column(const TForm11& form, int column)
{
    QStringList texts;
    for (int row = 1; row < form.gridRowCount(); ++row)
        texts << form.gridCell(row, column);
    return texts;
}

} // namespace

TEST_F(RecordsTest, WindowStartsWithTitlesAndPlainCaption)
{
    TForm11 form(state().range, state().classFolder);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), "Таблица рекордов");
    const QStringList titles = {"N", "NikName", "ФИО", "Time", "кол-во", "Дата", "Ошибок"};
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(form.gridCell(0, column), titles[column]);
    EXPECT_TRUE(form.RadioButton1->isChecked());
}

TEST_F(RecordsTest, TableWithoutRecordsShowsOneEmptyRow)
{
    writeFile(tablePath("20"), Table({Result("anna", 475), Result("boris", 333)}));
    writeFile(tablePath("99"), QByteArray(500, 'x')); // no whole record
    TForm11 form(state().range, state().classFolder);
    form.LoadRecordsTable();
    ASSERT_EQ(form.gridRowCount(), 3);

    for (const char* range : {"9", "99"}) {
        SCOPED_TRACE(range);
        currentRange() = {QString(range).toInt(), range};
        form.LoadRecordsTable();
        EXPECT_EQ(form.windowTitle(), QString("Таблица рекордов в интервале (0-%1)").arg(range));
        EXPECT_EQ(form.gridRowCount(), 2);
        EXPECT_EQ(form.gridCell(0, 1), "NikName");
        for (int column = 0; column < 7; ++column)
            EXPECT_EQ(form.gridCell(1, column), "");
    }
}

// The window reads the table of the range it is handed, as that range
// changes, whatever range the program state holds.
TEST_F(RecordsTest, ShowsTheTableOfTheRangeItIsHanded)
{
    writeFile(tablePath("20"), Table({Result("anna", 475)}));
    writeFile(tablePath("9"), Table({Result("boris", 333), Result("vera", 200)}));
    writeFile(tablePath("999"), Table({Result("gleb", 100)}));
    NumberRange handed{9, "9"};
    TForm11 form(handed, state().classFolder);
    form.LoadRecordsTable();
    EXPECT_EQ(form.windowTitle(), "Таблица рекордов в интервале (0-9)");
    EXPECT_EQ(Column(form, 1), QStringList({"vera", "boris"}));

    handed = {999, "999"};
    form.LoadRecordsTable();
    EXPECT_EQ(form.windowTitle(), "Таблица рекордов в интервале (0-999)");
    EXPECT_EQ(Column(form, 1), QStringList({"gleb"}));
}

TEST_F(RecordsTest, DateOrderShowsFileOrderNumbered)
{
    std::vector<ResultRecord> records;
    for (int i = 0; i < 12; ++i)
        records.push_back(Result(QString("user%1").arg(i), 1200 - i));
    records[3] = Result("anna", 475, 20, "Петрова Анна", "06-12-2026 09:05:07", 2);
    writeFile(tablePath(), Table(records));

    TForm11 form(state().range, state().classFolder);
    form.RadioButton2->click();
    EXPECT_EQ(form.windowTitle(), "Таблица рекордов в интервале (0-20)");
    ASSERT_EQ(form.gridRowCount(), 13);
    for (int row = 1; row <= 12; ++row) {
        EXPECT_EQ(form.gridCell(row, 0), QString::number(row));
        EXPECT_EQ(form.gridCell(row, 1), records[size_t(row - 1)].nick);
    }
    const QStringList fourth = {"4", "anna", "Петрова Анна", "475", "20", "06-12-2026 09:05:07",
                                "2"};
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(form.gridCell(4, column), fourth[column]);
    EXPECT_EQ(form.selectedRow(), 1);
    EXPECT_EQ(form.selectedColumn(), 1);
}

TEST_F(RecordsTest, EachRadioButtonReloadsInItsOrder)
{
    writeFile(tablePath(),
              Table({Result("boris", 1200, 20, "Сидоров"), Result("Anna", 475, 20, "Яковлева"),
                     Result("anna", 99999, 20, "абрамов"), Result("vera", 100000, 20, "Петрова")}));
    TForm11 form(state().range, state().classFolder);
    const std::pair<QRadioButton*, QStringList> cases[] = {
        {form.RadioButton1, {"Anna", "boris", "vera", "anna"}},
        {form.RadioButton2, {"boris", "Anna", "anna", "vera"}},
        {form.RadioButton3, {"Anna", "anna", "boris", "vera"}},
        {form.RadioButton4, {"anna", "vera", "boris", "Anna"}}};
    for (const auto& [radio, nicks] : cases) {
        SCOPED_TRACE(radio->text().toStdString());
        radio->click();
        EXPECT_EQ(Column(form, 1), nicks);
        EXPECT_EQ(form.selectedRow(), 1);
    }
}

TEST_F(RecordsTest, NewResultIsSelectedAndScrolledIntoViewInEveryOrder)
{
    std::vector<ResultRecord> records;
    for (int i = 0; i < 30; ++i)
        records.push_back(Result(QString("p%1").arg(i, 2, 10, QChar('0')), 1000 + i, 20,
                                 QString("Имя %1").arg(i, 2, 10, QChar('0'))));
    writeFile(tablePath(), Table(records));
    // Same columns 1 to 5 as an older record but other errors: the first such row wins.
    const ResultRecord twin = Result("p07", 1007, 20, "Имя 07", "06-12-2026 09:05:07", 9);
    const ResultRecord fresh = Result("zeta", 5, 20, "Имя 15x");
    AppendResultRecord(fresh);

    TForm11 form(state().range, state().classFolder);
    struct Case {
        QRadioButton* radio;
        ResultRecord result;
        int row;
    } cases[] = {{form.RadioButton1, fresh, 1},
                 {form.RadioButton2, fresh, 31},
                 {form.RadioButton3, fresh, 31},
                 {form.RadioButton4, fresh, 17},
                 {form.RadioButton2, twin, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio->text().toStdString() + " row " + std::to_string(c.row));
        c.radio->setChecked(true);
        form.ShowResultInTable(c.result);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.selectedRow(), c.row);
        EXPECT_EQ(form.selectedColumn(), 1);
        EXPECT_EQ(form.spokenText(), QString("Ваш результат в строке %1 из 31").arg(c.row));
        const QModelIndex index = form.StringGrid1->currentIndex();
        EXPECT_TRUE(form.StringGrid1->viewport()->rect().contains(
            form.StringGrid1->visualRect(index).center()));
    }
}

TEST_F(RecordsTest, ResultNotInTableLeavesRowOneSelected)
{
    writeFile(tablePath(), Table({Result("anna", 475), Result("boris", 333)}));
    TForm11 form(state().range, state().classFolder);
    form.ShowResultInTable(Result("ghost", 1));
    EXPECT_EQ(form.selectedRow(), 1);
    EXPECT_EQ(form.spokenText(), "");
    form.Button1->click();
    EXPECT_FALSE(form.isVisible());
}
