#pragma once
// The summary table window: one row for every profile in the user folder,
// with its totals and speed, in the order the folder lists them.

#include <QWidget>

class QTableWidget;
struct ClassFolderLink;
struct UserProfile;

class TForm10 : public QWidget {
    Q_OBJECT
  public:
    // The profiles are read through `classFolder` into the administrator's
    // `scratch` record.
    TForm10(ClassFolderLink& classFolder, UserProfile& scratch, QWidget* parent = nullptr);

    // Fills the grid from the profiles; does not show the window. A profile
    // that cannot be opened gets "Error 12 :" + nick and a row of the values
    // read before; a short profile raises IoError and ends the load.
    void LoadSummaryTable();

    // The grid as rows of texts: row 0 holds the titles, data rows follow.
    int gridRowCount() const;
    QString gridCell(int row, int column) const;

    QTableWidget* StringGrid1;

  private:
    void CreateControls();
    void FormCreate();

    ClassFolderLink& classFolder_;
    UserProfile& scratch_;
};
