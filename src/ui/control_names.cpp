#include "ui/control_names.h"

#include "ui/spoken_notice.h"

#include <QWidget>

void SetDesignerName(QWidget* control, const QString& designerName)
{
    control->setObjectName(designerName);
    if (AccessibleIdsOn())
        control->setAccessibleDescription(designerName);
}
