#pragma once
// The records table window: the finished exercises of the range in use in
// one of four orders; at the end of an exercise the new result is selected.

#include "records/records_order.h"
#include "records/result_record.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;
class RecordsGridModel;
class SpokenNotice;
struct ClassFolderLink;
struct NumberRange;

class TForm11 : public QWidget {
    Q_OBJECT
  public:
    // The window shows the table of `range` (the one in use, which the range
    // window changes) read through `classFolder`.
    TForm11(const NumberRange& range, ClassFolderLink& classFolder, QWidget* parent = nullptr);

    // Fills the grid from the table of the range in the checked
    // order and selects row 1. Does not show the window. IoError on a failed read.
    void LoadRecordsTable();
    // Loads, shows the window and selects the first row showing `record`;
    // a screen reader is told the row and how many rows there are.
    void ShowResultInTable(const ResultRecord& record);
    // What a screen reader was told last ("" before any result was shown).
    QString spokenText() const;

    // Any of the four orders (RadioButton1 to 4) clicked: the table anew in it.
    void OrderClick();
    void Button1Click();

    // The grid as rows of texts: row 0 holds the titles, data rows follow.
    int gridRowCount() const;
    QString gridCell(int row, int column) const;
    // Grid row and column of the current cell (0 and -1 when there is none).
    int selectedRow() const;
    int selectedColumn() const;

    QTableView* StringGrid1;
    QLabel* StaticText1;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QLabel* StaticText4;
    QGroupBox* GroupBox1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QPushButton* Button1;

  private:
    void CreateControls();
    void FormCreate();
    RecordsOrder CheckedOrder() const;
    void SelectCell(int row, int column);

    const NumberRange& range_;
    ClassFolderLink& classFolder_;
    RecordsGridModel* model_;
    SpokenNotice* notice_;
};
