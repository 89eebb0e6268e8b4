#include "records/ui/records_grid_model.h"

#include "records/records_columns.h"
#include "ui/control_factory.h"

RecordsGridModel::RecordsGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsGridModel::setTitles(const QStringList& titles)
{
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, kRecordsColumns - 1);
}

void RecordsGridModel::setRows(std::vector<ResultRecord> records, std::vector<int> order)
{
    beginResetModel();
    records_ = std::move(records);
    order_ = std::move(order);
    endResetModel();
}

void RecordsGridModel::clearRows() { setRows({}, {}); }

const ResultRecord* RecordsGridModel::recordAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(order_.size()))
        return nullptr;
    return &records_[static_cast<size_t>(order_[static_cast<size_t>(row)])];
}

QString RecordsGridModel::cellText(int row, int column) const
{
    const ResultRecord* record = recordAt(row);
    if (!record)
        return QString();
    return column == 0 ? QString::number(row + 1) : RecordFieldText(*record, column);
}

int RecordsGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return order_.empty() ? 1 : static_cast<int>(order_.size());
}

int RecordsGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kRecordsColumns;
}

QVariant RecordsGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return cellText(index.row(), index.column());
    if (role == Qt::BackgroundRole)
        return GridCellBackground(index.column());
    return QVariant();
}

QVariant RecordsGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < titles_.size())
        return titles_.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordsGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return GridCellFlags(index.column());
}
