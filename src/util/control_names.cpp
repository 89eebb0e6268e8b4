#include "util/control_names.h"

#include <QWidget>

void SetDesignerName(QWidget* control, const QString& designerName, const QString& visibleName)
{
    control->setObjectName(designerName);
    control->setAccessibleDescription(designerName);
    if (!visibleName.isEmpty())
        control->setAccessibleName(visibleName);
}
