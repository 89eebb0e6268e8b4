#include "ui/control_names.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QString AccessibleName(QWidget* control)
{
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

TEST(ControlNames, DesignerNameLeavesTheAccessibleNameToWhatIsShown)
{
    QPushButton button(QStringLiteral("Ввод"));
    SetDesignerName(&button, QStringLiteral("Button11"));
    EXPECT_EQ(button.objectName(), "Button11");
    EXPECT_EQ(button.accessibleDescription(), "Button11");
    EXPECT_TRUE(button.accessibleName().isEmpty());
    button.setText(QStringLiteral("Сброс"));
    EXPECT_EQ(AccessibleName(&button), QStringLiteral("Сброс"));

    QLabel value;
    SetDesignerName(&value, QStringLiteral("StaticText4"));
    value.setText(QStringLiteral("12"));
    EXPECT_EQ(AccessibleName(&value), QStringLiteral("12"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&value)->text(QAccessible::Description),
              "StaticText4");
}

// Without ZELVO_ACCESSIBLE_IDS a screen reader hears captions only: no control
// carries its designer name on the bus.
TEST(ControlNames, DesignerNamesStayOffTheBusUnlessAskedFor)
{
    for (const char* value : {"", "0", "yes"}) {
        SCOPED_TRACE(value);
        qputenv("ZELVO_ACCESSIBLE_IDS", value);
        QPushButton button(QStringLiteral("Ввод"));
        SetDesignerName(&button, QStringLiteral("Button11"));
        EXPECT_EQ(button.objectName(), "Button11");
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&button)->text(QAccessible::Description),
                  QString());
    }
    qputenv("ZELVO_ACCESSIBLE_IDS", "1");
}

} // namespace
