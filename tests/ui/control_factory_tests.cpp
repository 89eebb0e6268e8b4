#include "ui/control_factory.h"

#include <QAccessible>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(ControlFactory, LabelledEditsFillTheLinesInOrder)
{
    QWidget form;
    auto* layout = new QGridLayout(&form);
    QLabel* nickLabel = nullptr;
    QLabel* passwordLabel = nullptr;
    QLineEdit* nick = nullptr;
    QLineEdit* password = nullptr;
    const int line = AddLabelledEdits(
        &form, layout,
        {{nickLabel, nick, "StaticText1", "Edit1", QStringLiteral("Ник"), false},
         {passwordLabel, password, "StaticText3", "Edit3", QStringLiteral("Пароль"), true}});

    EXPECT_EQ(line, 2);
    EXPECT_EQ(layout->itemAtPosition(0, 0)->widget(), nickLabel);
    EXPECT_EQ(layout->itemAtPosition(0, 1)->widget(), nick);
    EXPECT_EQ(layout->itemAtPosition(1, 1)->widget(), password);
    EXPECT_EQ(passwordLabel->objectName(), "StaticText3");
    EXPECT_EQ(password->objectName(), "Edit3");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(password)->text(QAccessible::Name),
              QStringLiteral("Пароль"));
    EXPECT_EQ(passwordLabel->buddy(), password);
    EXPECT_EQ(nick->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    password->setText("abc");
    EXPECT_EQ(password->displayText(), "***");
}

TEST(ControlFactory, ValuesAreRedInEveryState)
{
    QWidget form;
    QLabel* value = MakeValue(&form, "StaticText8");
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        EXPECT_EQ(value->palette().color(group, QPalette::WindowText), QColor(Qt::red)) << group;
}

} // namespace
