#include "ui/control_factory.h"

#include <QAccessible>
#include <QApplication>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
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

// Labels and values show stored texts as they are: markup is never bold text,
// a link or a picture (a picture would make the label as tall as itself), and
// a screen reader reads the same characters.
TEST(ControlFactory, LabelsAndValuesShowMarkupAsTyped)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString picture = dir.filePath("tall.png");
    QImage tall(20, 400, QImage::Format_RGB32);
    tall.fill(Qt::blue);
    ASSERT_TRUE(tall.save(picture));

    const QString texts[] = {
        QStringLiteral("<b>Петя</b>"),
        QStringLiteral("<img src=\"") + picture + QStringLiteral("\">"),
        QStringLiteral("<a href=\"http://x/\">x</a>"),
        QStringLiteral("&amp; Петя & Вася"),
    };
    QWidget form;
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        QLabel* label = MakeLabel(&form, "StaticText1", text);
        QLabel* value = MakeValue(&form, "StaticText2");
        value->setText(text);
        for (QLabel* shown : {label, value}) {
            EXPECT_EQ(shown->textFormat(), Qt::PlainText);
            EXPECT_EQ(shown->text().toStdString(), text.toStdString());
            EXPECT_LT(shown->sizeHint().height(), 2 * shown->fontMetrics().height());
            EXPECT_EQ(
                QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Name).toStdString(),
                text.toStdString());
        }
    }
}

} // namespace

// A button that has the focus is pressed by Enter and by Space, also in a
// window that is not a dialog.
TEST(ControlFactory, EnterPressesTheFocusedButton)
{
    QWidget window;
    QPushButton* button = MakeButton(&window, QStringLiteral("Button1"), QStringLiteral("OK"));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    window.show();
    button->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        QTest::keyClick(button, key);
    EXPECT_EQ(clicks, 3);
}

// Tab leaves a grid for the next control instead of moving between its cells.
TEST(ControlFactory, TabLeavesAGrid)
{
    QWidget window;
    auto* grid = new QTableView(&window);
    QStandardItemModel model(3, 3);
    grid->setModel(&model);
    SetUpCellGrid(grid, {0, 0, 300, 100}, {90, 90, 90});
    QPushButton* button = MakeButton(&window, QStringLiteral("Button1"), QStringLiteral("OK"));
    window.show();
    QApplication::setActiveWindow(&window);
    grid->setFocus();
    grid->setCurrentIndex(model.index(0, 0));
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_TRUE(button->hasFocus());
    EXPECT_EQ(grid->currentIndex(), model.index(0, 0));
}
