#include "records/ui/form10_summary.h"

#include "accounts/user_profile.h"
#include "keeper/class_folder_access.h"
#include "platform/dialogs.h"
#include "records/statistics_text.h"
#include "ui/control_factory.h"
#include "ui/control_names.h"

#include <QTableWidget>

namespace {
constexpr int kColumns = 5;

void SetCell(QTableWidget* grid, int row, int column, const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    // Column 0, the nick, is a fixed column like the title row.
    item->setFlags(GridCellFlags(column));
    item->setData(Qt::BackgroundRole, GridCellBackground(column));
    grid->setItem(row, column, item);
}

} // namespace

TForm10::TForm10(ClassFolderLink& classFolder, UserProfile& scratch, QWidget* parent)
    : QWidget(parent, Qt::Window), classFolder_(classFolder), scratch_(scratch)
{
    CreateControls();
    FormCreate();
}

void TForm10::CreateControls()
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Сводная таблица результатов"));
    move(34, 39);
    resize(ClientSizeForOuterSize(741, 480));

    StringGrid1 = new QTableWidget(1, kColumns, this);
    SetUpCellGrid(StringGrid1, {24, 16, 681, 169}, {64, 260, 90, 103, 114});
    SetDesignerName(StringGrid1, QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(windowTitle());
}

void TForm10::FormCreate() { StringGrid1->setHorizontalHeaderLabels(SummaryColumnTitles()); }

void TForm10::LoadSummaryTable()
{
    StringGrid1->clearContents();
    StringGrid1->setRowCount(0);
    UserProfile& record = scratch_;
    ClassFolderAccess& folder = *classFolder_.access;
    for (const QString& nick : folder.nicks()) {
        ProfileView view;
        if (folder.readProfile(nick, view))
            CopyView(view, record);
        else
            dialogs().message(kProfileNotReadMessage + nick);
        const int row = StringGrid1->rowCount();
        StringGrid1->insertRow(row);
        const QStringList texts = SummaryRowTexts(nick, record);
        for (int column = 0; column < texts.size(); ++column)
            SetCell(StringGrid1, row, column, texts.at(column));
    }
}

int TForm10::gridRowCount() const { return StringGrid1->rowCount() + 1; }

QString TForm10::gridCell(int row, int column) const
{
    const QTableWidgetItem* item =
        row == 0 ? StringGrid1->horizontalHeaderItem(column) : StringGrid1->item(row - 1, column);
    return item ? item->text() : QString();
}
