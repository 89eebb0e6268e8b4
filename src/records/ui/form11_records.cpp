#include "records/ui/form11_records.h"

#include "keeper/class_folder_access.h"
#include "platform/handler_guard.h"
#include "platform/message_wait.h"
#include "records/number_range.h"
#include "records/records_columns.h"
#include "records/ui/records_grid_model.h"
#include "ui/control_factory.h"
#include "ui/control_names.h"
#include "ui/spoken_notice.h"
#include "util/files.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

TForm11::TForm11(const NumberRange& range, ClassFolderLink& classFolder, QWidget* parent)
    : QWidget(parent, Qt::Dialog), range_(range), classFolder_(classFolder)
{
    CreateControls();
    FormCreate();
}

void TForm11::CreateControls()
{
    setWindowTitle(QStringLiteral("Таблица рекордов"));
    setGeometry(190, 103, 1019, 532);
    setFixedSize(1019, 532);
    setObjectName(QStringLiteral("Form11"));

    model_ = new RecordsGridModel(this);
    StringGrid1 = new QTableView(this);
    StringGrid1->setModel(model_);
    SetUpCellGrid(StringGrid1, {8, 32, 841, 417}, {64, 69, 247, 96, 96, 135, 112});
    StringGrid1->setShowGrid(true);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    SetDesignerName(StringGrid1, QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(QStringLiteral("Таблица рекордов"));

    StaticText1 = MakeLabel(this, QStringLiteral("StaticText1"),
                            QStringLiteral("Time - время затраченное "), QPoint(864, 40));
    StaticText2 = MakeLabel(this, QStringLiteral("StaticText2"), QStringLiteral("на один пример "),
                            QPoint(856, 56));
    StaticText3 = MakeLabel(this, QStringLiteral("StaticText3"),
                            QStringLiteral("Кол-во - Количество"), QPoint(856, 88));
    StaticText4 = MakeLabel(this, QStringLiteral("StaticText4"), QStringLiteral("набранных очков"),
                            QPoint(856, 104));

    GroupBox1 = new QGroupBox(QStringLiteral("Сортировка"), this);
    GroupBox1->setGeometry(864, 296, 137, 153);
    SetDesignerName(GroupBox1, QStringLiteral("GroupBox1"));
    RadioButton1 = MakeRadio(GroupBox1, QStringLiteral("RadioButton1"),
                             QStringLiteral("по времени"), {16, 24, 113, 17});
    RadioButton2 = MakeRadio(GroupBox1, QStringLiteral("RadioButton2"), QStringLiteral("По дате"),
                             {16, 56, 113, 17});
    RadioButton3 = MakeRadio(GroupBox1, QStringLiteral("RadioButton3"),
                             QStringLiteral("По NikName"), {16, 88, 113, 17});
    RadioButton4 = MakeRadio(GroupBox1, QStringLiteral("RadioButton4"),
                             QStringLiteral("По фамилии"), {16, 120, 113, 17});
    RadioButton1->setChecked(true);
    for (QRadioButton* order : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        connect(order, &QRadioButton::clicked, this, &TForm11::OrderClick);

    Button1 = MakeButton(this, QStringLiteral("Button1"), QStringLiteral("OK"), {344, 472, 75, 25});
    connect(Button1, &QPushButton::clicked, this, &TForm11::Button1Click);

    notice_ = new SpokenNotice(this);
}

void TForm11::FormCreate() { model_->setTitles(RecordsColumnTitles()); }

RecordsOrder TForm11::CheckedOrder() const
{
    if (RadioButton2->isChecked())
        return RecordsOrder::ByDate;
    if (RadioButton1->isChecked())
        return RecordsOrder::ByTime;
    if (RadioButton3->isChecked())
        return RecordsOrder::ByNick;
    return RecordsOrder::ByFullName;
}

void TForm11::LoadRecordsTable()
{
    setWindowTitle(QStringLiteral("Таблица рекордов в интервале (") + RangeCaption(range_) +
                   QLatin1Char(')'));
    model_->clearRows();
    std::vector<ResultRecord> records = classFolder_.access->readTable(range_.rangeText);
    if (!records.empty()) {
        std::vector<int> order = SortRecords(records, CheckedOrder());
        model_->setRows(std::move(records), std::move(order));
    }
    SelectCell(1, 1);
}

void TForm11::ShowResultInTable(const ResultRecord& record)
{
    LoadRecordsTable();
    show();
    raise();
    activateWindow();
    StringGrid1->setFocus();
    ProcessPendingMessages();

    // The texts as they read back from the table (cut and encoded as stored).
    const ResultRecord stored = DecodeResultRecord(EncodeResultRecord(record));
    for (int row = 0; row < model_->rowCount(); ++row) {
        const ResultRecord* shown = model_->recordAt(row);
        if (shown && shown->nick == stored.nick && shown->fullName == stored.fullName &&
            shown->timePerExample == stored.timePerExample && shown->points == stored.points &&
            shown->finishedAt == stored.finishedAt) {
            SelectCell(row + 1, 1);
            notice_->say(QStringLiteral("Ваш результат в строке %1 из %2")
                             .arg(row + 1)
                             .arg(model_->rowCount()));
            break;
        }
    }
    ProcessPendingMessages();
}

QString TForm11::spokenText() const { return notice_->text(); }

void TForm11::OrderClick()
{
    RunHandler([this] { LoadRecordsTable(); });
}

void TForm11::Button1Click()
{
    RunHandler([this] { hide(); });
}

void TForm11::SelectCell(int row, int column)
{
    const QModelIndex index = model_->index(row - 1, column);
    StringGrid1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    StringGrid1->scrollTo(index);
}

int TForm11::gridRowCount() const { return model_->rowCount() + 1; }

QString TForm11::gridCell(int row, int column) const
{
    if (row == 0)
        return model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return model_->cellText(row - 1, column);
}

int TForm11::selectedRow() const
{
    const QModelIndex current = StringGrid1->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

int TForm11::selectedColumn() const
{
    const QModelIndex current = StringGrid1->currentIndex();
    return current.isValid() ? current.column() : -1;
}
