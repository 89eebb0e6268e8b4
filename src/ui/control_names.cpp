#include "ui/control_names.h"

#include <QWidget>

void SetDesignerName(QWidget* control, const QString& designerName)
{
    control->setObjectName(designerName);
    control->setAccessibleDescription(designerName);
}
