#pragma once
// The read-only rows of the records window: a view over the records of one
// load in the chosen order, so that large tables cost no widget per cell.
// Column 0 is the row's number in that order; columns 1 to 6 are nick, full
// name, time, points, date and errors. With no rows to show it holds one
// empty row.

#include "records/result_record.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class RecordsGridModel : public QAbstractTableModel {
  public:
    explicit RecordsGridModel(QObject* parent = nullptr);

    void setTitles(const QStringList& titles);
    // `order` lists positions in `records`, in the order to show them.
    void setRows(std::vector<ResultRecord> records, std::vector<int> order);
    // One empty row.
    void clearRows();

    // The text of a data cell, `row` counted from 0.
    QString cellText(int row, int column) const;
    // The record shown in data row `row`, nullptr in the empty row.
    const ResultRecord* recordAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    QStringList titles_;
    std::vector<ResultRecord> records_;
    std::vector<int> order_;
};
