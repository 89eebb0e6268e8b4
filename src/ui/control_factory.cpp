#include "ui/control_factory.h"

#include "ui/control_names.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

QSize ClientSizeForOuterSize(int width, int height)
{
    return QSize(width, height - kTitleBarHeight);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(parent);
    // Plain text before any text is set: markup in a stored name never becomes
    // a picture, a link or a style.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    SetDesignerName(label, name);
    return label;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QPoint& at)
{
    QLabel* label = MakeLabel(parent, name, text);
    label->move(at);
    label->adjustSize();
    return label;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& place)
{
    QLabel* label = MakeLabel(parent, name, text);
    label->setGeometry(place);
    return label;
}

void SetRedText(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    widget->setPalette(palette);
}

QLabel* MakeValue(QWidget* parent, const QString& name)
{
    auto* value = new QLabel(parent);
    value->setTextFormat(Qt::PlainText);
    SetRedText(value);
    SetDesignerName(value, name);
    return value;
}

QLabel* MakeValue(QWidget* parent, const QString& name, const QPoint& at)
{
    QLabel* value = MakeValue(parent, name);
    value->move(at);
    return value;
}

QLabel* MakeValue(QWidget* parent, const QString& name, const QRect& place)
{
    QLabel* value = MakeValue(parent, name);
    value->setGeometry(place);
    return value;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    SetDesignerName(button, name);
    // Enter presses a button that has the focus, in every window as in dialogs.
    button->setAutoDefault(true);
    return button;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text,
                        const QRect& place)
{
    QPushButton* button = MakeButton(parent, name, text);
    button->setGeometry(place);
    return button;
}

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& text,
                        const QRect& place)
{
    auto* radio = new QRadioButton(text, parent);
    radio->setGeometry(place);
    SetDesignerName(radio, name);
    return radio;
}

void SetUpCellGrid(QTableView* grid, const QRect& place, std::initializer_list<int> widths)
{
    grid->setGeometry(place);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // The arrows move between cells and Tab leaves the grid, so that the
    // keyboard reaches the window's other controls.
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(24);
    int column = 0;
    for (int width : widths)
        grid->setColumnWidth(column++, width);
}

Qt::ItemFlags GridCellFlags(int column)
{
    if (column == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant GridCellBackground(int column)
{
    if (column == 0)
        return QApplication::palette().button();
    return QVariant();
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, QLabel* label)
{
    auto* edit = new QLineEdit(parent);
    SetDesignerName(edit, name);
    label->setBuddy(edit);
    return edit;
}

void SetTextIfChanged(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

namespace {

// Characters an editable list shows at the least; its layout gives it more.
constexpr int kListMinimumCharacters = 12;

} // namespace

QComboBox* MakeEditableList(QWidget* parent, const QString& name, QLabel* label)
{
    auto* list = new QComboBox(parent);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    // Qt's own completer ignores letter case: "adm" would become "ADM".
    list->setCompleter(nullptr);
    // Sized by its place in the window, never by its longest item: a long nick
    // would otherwise widen the window past the screen. The open list may
    // still be wider than the box.
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(kListMinimumCharacters);
    SetDesignerName(list, name);
    label->setBuddy(list);
    return list;
}

namespace {

// Shows typed password characters as "*" over whatever the application style is.
class PasswordStarStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

void MaskPassword(QLineEdit* edit)
{
    // One style for every password edit, kept by the application (no style
    // sheet: those cost start-up time and memory).
    static QPointer<QStyle> style;
    if (!style) {
        style = new PasswordStarStyle;
        style->setParent(QCoreApplication::instance());
    }
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyle(style);
}

int AddLabelledEdits(QWidget* parent, QGridLayout* layout, std::initializer_list<LabelledEdit> rows)
{
    int line = 0;
    for (const LabelledEdit& row : rows) {
        row.label = MakeLabel(parent, QString::fromLatin1(row.labelName), row.text);
        row.edit = MakeEdit(parent, QString::fromLatin1(row.editName), row.label);
        if (row.masked)
            MaskPassword(row.edit);
        layout->addWidget(row.label, line, 0);
        layout->addWidget(row.edit, line, 1);
        ++line;
    }
    return line;
}
