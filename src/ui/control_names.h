#pragma once
// Controls carry their designer names as objectName, and for automation as
// accessibleDescription (the accessibility bus shows no object name) when
// ZELVO_ACCESSIBLE_IDS is "1" (AccessibleIdsOn): a screen reader's user never
// hears them otherwise. Their
// accessible names are left to what they show: a label reads its current
// text, a button, radio or check box its caption, and an edit or drop-down
// list the label whose buddy it is.

#include <QString>

class QWidget;

// Sets objectName, and with the designer names on accessibleDescription, to
// `designerName`.
void SetDesignerName(QWidget* control, const QString& designerName);
