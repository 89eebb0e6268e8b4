#pragma once
// Controls carry their designer names (objectName and accessibleDescription)
// and what a person sees as their accessible name.

#include <QString>

class QWidget;

// Sets objectName and accessibleDescription to `designerName`, and the
// accessible name to `visibleName` when it is not empty.
void SetDesignerName(QWidget* control, const QString& designerName,
                     const QString& visibleName = QString());
