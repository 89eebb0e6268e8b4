#pragma once
// The controls the windows build again and again, created with their
// designer names (see control_names.h).

#include <QString>

#include <initializer_list>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPoint;
class QPushButton;
class QRadioButton;
class QRect;
class QTableView;
class QWidget;

// A label named after its text.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text);
// ... at `at`, sized to its text.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QPoint& at);
// ... filling `place`.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& place);

// An empty red value text; its accessible name is `caption`, the text of the
// label beside it.
QLabel* MakeValue(QWidget* parent, const QString& name, const QString& caption);
QLabel* MakeValue(QWidget* parent, const QString& name, const QString& caption, const QPoint& at);
QLabel* MakeValue(QWidget* parent, const QString& name, const QString& caption, const QRect& place);

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text);
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text,
                        const QRect& place);

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& text,
                        const QRect& place);

// A grid of read-only cells at `place`: rows 24 pixels high without a row
// header, a contiguous selection of cells, columns `widths` wide.
void SetUpCellGrid(QTableView* grid, const QRect& place, std::initializer_list<int> widths);

// An edit named after `label`, which becomes its buddy.
QLineEdit* MakeEdit(QWidget* parent, const QString& name, QLabel* label);
// Typed characters show as "*", whatever the style's own mark.
void MaskPassword(QLineEdit* edit);

// One line of a form: a label and the edit it names.
struct LabelledEdit {
    QLabel*& label;
    QLineEdit*& edit;
    const char* labelName;
    const char* editName;
    QString text;
    bool masked; // a password: typed characters are hidden
};

// Builds `rows` top to bottom in columns 0 and 1 of `layout`, starting at
// line 0; returns the first free line.
int AddLabelledEdits(QWidget* parent, QGridLayout* layout,
                     std::initializer_list<LabelledEdit> rows);
