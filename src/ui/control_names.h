#pragma once
// Controls carry their designer names, as objectName and as
// accessibleDescription (the accessibility bus shows no object name). Their
// accessible names are left to what they show: a label reads its current
// text, a button, radio or check box its caption, and an edit or drop-down
// list the label whose buddy it is.

#include <QString>

class QWidget;

// Sets objectName and accessibleDescription to `designerName`.
void SetDesignerName(QWidget* control, const QString& designerName);
