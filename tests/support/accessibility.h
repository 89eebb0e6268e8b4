#pragma once
// What assistive technology reads from the windows, through Qt's
// accessibility interface (the one the accessibility bus serves).

#include <QString>
#include <QStringList>

class QAction;
class QObject;
class QWidget;

// The accessible name of `control`.
QString AccessibleName(QObject* control);
// The texts of the labels that label `control` ("labelled by").
QStringList AccessibleLabels(QObject* control);
// What a control is called: its accessible name, but for a drop-down list,
// whose name is its current text, the label that labels it.
QString ControlTitle(QObject* control);

// Every control of `window` (menus included) whose reading differs from what
// it shows, one line each; empty when all agree. A label reads its current
// text; a button, radio or check box its caption; an edit the text of its
// buddy label; a drop-down list is labelled by its buddy label and reads its
// current text as its value; a titled frame reads its title; a menu item its
// caption. Every control carries its designer name as objectName and
// accessibleDescription.
QStringList NamesNotAsShown(QWidget* window);

// What is wrong with the reading of one control of its window, in the terms of
// NamesNotAsShown (the designer name aside); empty when nothing is.
QString ReadingFault(QWidget* control);
// What a screen reader reads for a menu item: the name of its entry in the
// menu or menu bar that shows it; empty when no menu shows it.
QString MenuItemReading(QAction* item);
