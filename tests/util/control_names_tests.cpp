#include "util/control_names.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(ControlNames, DesignerNameAndVisibleName)
{
    QPushButton button(QStringLiteral("Ввод"));
    SetDesignerName(&button, QStringLiteral("Button11"), button.text());
    EXPECT_EQ(button.objectName(), "Button11");
    EXPECT_EQ(button.accessibleDescription(), "Button11");
    EXPECT_EQ(button.accessibleName(), QStringLiteral("Ввод"));

    QLineEdit edit;
    edit.setAccessibleName(QStringLiteral("kept"));
    SetDesignerName(&edit, QStringLiteral("Edit1"));
    EXPECT_EQ(edit.objectName(), "Edit1");
    EXPECT_EQ(edit.accessibleDescription(), "Edit1");
    EXPECT_EQ(edit.accessibleName(), QStringLiteral("kept"));
}

} // namespace
