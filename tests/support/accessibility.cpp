#include "support/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace {

QString Caption(QString text) { return text.remove(QLatin1Char('&')); }

// Parts of a compound control (a list's edit, a grid's scroll bars, a menu
// bar's overflow button) are that control's business, not the window's.
bool IsPartOfCompound(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* up = widget->parentWidget(); up && up != window; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox*>(up) || qobject_cast<const QAbstractSpinBox*>(up) ||
            qobject_cast<const QAbstractItemView*>(up) || qobject_cast<const QMenuBar*>(up) ||
            qobject_cast<const QMenu*>(up))
            return true;
    }
    return false;
}

const QLabel* BuddyLabel(const QWidget* control, const QWidget* window)
{
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() == control)
            return label;
    }
    return nullptr;
}

QString Line(const QWidget* control, const QString& what)
{
    return control->metaObject()->className() + QStringLiteral(" ") + control->objectName() +
           QStringLiteral(": ") + what;
}

QString Differs(const QString& reads, const QString& shows)
{
    return QStringLiteral("reads \"%1\", shows \"%2\"").arg(reads, shows);
}

// What is wrong with one control's reading; empty when nothing is.
QString Fault(QWidget* control, const QWidget* window)
{
    const QString name = AccessibleName(control);
    if (auto* label = qobject_cast<QLabel*>(control))
        return name == label->text() ? QString() : Differs(name, label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        // A button that shows only a picture reads a name of its own.
        if (button->text().isEmpty())
            return name.isEmpty() ? QStringLiteral("no name") : QString();
        const QString shows = Caption(button->text());
        return name == shows ? QString() : Differs(name, shows);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        const QLabel* label = BuddyLabel(edit, window);
        if (!label)
            return QStringLiteral("no label");
        return name == label->text() ? QString() : Differs(name, label->text());
    }
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        const QLabel* label = BuddyLabel(list, window);
        if (!label)
            return QStringLiteral("no label");
        if (!AccessibleLabels(list).contains(label->text()))
            return QStringLiteral("not labelled by \"%1\"").arg(label->text());
        const QString value = QAccessible::queryAccessibleInterface(list)->text(QAccessible::Value);
        return value == list->currentText() ? QString() : Differs(value, list->currentText());
    }
    if (qobject_cast<QAbstractSpinBox*>(control))
        return name.isEmpty() ? QStringLiteral("no name") : QString();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        if (frame->title().isEmpty())
            return QString();
        return name == frame->title() ? QString() : Differs(name, frame->title());
    }
    return QString();
}

bool IsControl(const QWidget* widget)
{
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QGroupBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget);
}

// Menu items read their captions, through every level of the menus.
void CheckMenuItems(QWidget* menu, QStringList& faults)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(menu);
    const QList<QAction*> actions = menu->actions();
    if (face->childCount() != actions.size()) {
        faults << Line(
            menu,
            QStringLiteral("%1 items read, %2 shown").arg(face->childCount()).arg(actions.size()));
        return;
    }
    for (int i = 0; i < actions.size(); ++i) {
        const QString name = face->child(i)->text(QAccessible::Name);
        if (name != Caption(actions[i]->text()))
            faults << Line(menu, QStringLiteral("item ") + Differs(name, actions[i]->text()));
        if (actions[i]->menu())
            CheckMenuItems(actions[i]->menu(), faults);
    }
}

} // namespace

QString AccessibleName(QObject* control)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(QAccessible::Name) : QString();
}

QStringList AccessibleLabels(QObject* control)
{
    QStringList texts;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    if (!face)
        return texts;
    for (const auto& [label, relation] : face->relations(QAccessible::Label))
        texts << label->text(QAccessible::Name);
    return texts;
}

QString ControlTitle(QObject* control)
{
    if (qobject_cast<QComboBox*>(control))
        return AccessibleLabels(control).value(0);
    return AccessibleName(control);
}

QStringList NamesNotAsShown(QWidget* window)
{
    QStringList faults;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (qobject_cast<QMenuBar*>(control)) {
            CheckMenuItems(control, faults);
            continue;
        }
        if (!IsControl(control) || IsPartOfCompound(control, window))
            continue;
        if (control->objectName().isEmpty() ||
            control->accessibleDescription() != control->objectName())
            faults << Line(control, QStringLiteral("no designer name"));
        const QString fault = Fault(control, window);
        if (!fault.isEmpty())
            faults << Line(control, fault);
    }
    return faults;
}

QString ReadingFault(QWidget* control) { return Fault(control, control->window()); }

QString MenuItemReading(QAction* item)
{
    for (QObject* shownIn : item->associatedObjects()) {
        auto* menu = qobject_cast<QWidget*>(shownIn);
        if (!menu)
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(menu);
        const int at = int(menu->actions().indexOf(item));
        if (face && at >= 0 && at < face->childCount())
            return face->child(at)->text(QAccessible::Name);
    }
    return QString();
}
