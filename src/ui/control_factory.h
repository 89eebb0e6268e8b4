#pragma once
// The controls the windows build again and again, created with their
// designer names (see control_names.h).

#include <QSize>
#include <QString>
#include <QVariant>

#include <initializer_list>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPoint;
class QPushButton;
class QRadioButton;
class QRect;
class QTableView;
class QWidget;

// Window designs give most windows' sizes with their frame: the outer size.
// The window manager draws that frame around the client area, which Qt
// sizes, so every such window takes the title bar off its outer size.
constexpr int kTitleBarHeight = 30;
QSize ClientSizeForOuterSize(int width, int height);

// A label; it reads its current text. Labels and values show their text as
// plain text, as typed or stored: "<b>" is three characters, never markup.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text);
// ... at `at`, sized to its text.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QPoint& at);
// ... filling `place`.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& place);

// Red text through the palette (a style sheet per label costs start-up time and memory).
void SetRedText(QWidget* widget);

// An empty red value text; like every label it reads its current text. It is
// no label's buddy: an empty label would then read its caption instead.
QLabel* MakeValue(QWidget* parent, const QString& name);
QLabel* MakeValue(QWidget* parent, const QString& name, const QPoint& at);
QLabel* MakeValue(QWidget* parent, const QString& name, const QRect& place);

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text);
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text,
                        const QRect& place);

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& text,
                        const QRect& place);

// A grid of read-only cells at `place`: rows 24 pixels high without a row
// header, a contiguous selection of cells, columns `widths` wide.
void SetUpCellGrid(QTableView* grid, const QRect& place, std::initializer_list<int> widths);

// Cells of a grid whose column 0 is fixed, a title column: its cells are
// drawn like the title row and take no part in a selection.
Qt::ItemFlags GridCellFlags(int column);
// The background of a cell in `column`: the title row's brush for column 0,
// none (the grid's own) for the others.
QVariant GridCellBackground(int column);

// An edit whose buddy is `label`, so it is named by that label's text.
QLineEdit* MakeEdit(QWidget* parent, const QString& name, QLabel* label);
// A drop-down list whose text the user may also type, named by `label`
// (its buddy). The text stays exactly as typed: nothing completes it, and
// Enter neither adds it to the list nor swaps it for an item that differs
// in letter case. Its width comes from the window's layout, not from its
// items, so long items never widen the window.
QComboBox* MakeEditableList(QWidget* parent, const QString& name, QLabel* label);

// Puts `text` into `edit` only when it differs from what the edit holds.
// Setting the same text changes nothing, yet QLineEdit would still move the
// caret to the end, drop the selection and forget its undo steps.
void SetTextIfChanged(QLineEdit* edit, const QString& text);

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
