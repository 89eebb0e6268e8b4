// What reaches a screen reader of the notice, of windows that are plain
// widgets, and of a line edit that takes the focus.

#include "ui/spoken_notice.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <vector>

namespace {

// The accessibility updates that reach the bus, recorded as "type:object".
std::vector<QString>* g_updates = nullptr;

void RecordUpdate(QAccessibleEvent* event)
{
    if (g_updates && event->object())
        g_updates->push_back(QString::number(int(event->type()), 16) + QLatin1Char(':') +
                             event->object()->objectName());
}

TEST(SpokenNotice, IsANotificationNamedByItsTextAndShownAnewForEachText)
{
    QWidget window;
    SpokenNotice notice(&window);
    window.show();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&notice);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Notification);
    EXPECT_FALSE(notice.isVisible());
    for (const QString& text : {QStringLiteral("Пример: 3+4"), QStringLiteral("Неверно")}) {
        notice.say(text);
        EXPECT_TRUE(notice.isVisible());
        EXPECT_EQ(face->text(QAccessible::Name), text);
    }
    // One pixel that paints nothing and takes no focus or click.
    EXPECT_EQ(notice.size(), QSize(1, 1));
    EXPECT_EQ(notice.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(notice.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(notice.autoFillBackground());
}

TEST(SpokenNotice, PlainWindowsAreDialogsOnTheBus)
{
    SpeakFocusedFieldsFirst();
    QWidget window;
    QWidget child(&window);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Dialog);
    EXPECT_NE(QAccessible::queryAccessibleInterface(&child)->role(), QAccessible::Dialog);
}

// The focus of a line edit reaches the bus before its caret event, and once.
TEST(SpokenNotice, AFieldsFocusComesBeforeItsCaretAndOnce)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    first->setObjectName("first");
    second->setObjectName("second");
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    first->setFocus();
    QApplication::processEvents();

    std::vector<QString> updates;
    g_updates = &updates;
    SpeakFocusedFieldsFirst(RecordUpdate);
    second->setFocus();
    QApplication::processEvents();
    // As Qt 6.4 sends them when the field takes the focus: the caret first.
    QAccessibleTextCursorEvent caret(second, 0);
    QAccessibleEvent focus(second, QAccessible::Focus);
    SendFocusFirst(&caret);
    SendFocusFirst(&focus);
    // The focus going back: its own focus event passes.
    QAccessibleEvent back(first, QAccessible::Focus);
    SendFocusFirst(&back);
    SpeakFocusedFieldsFirst();
    QAccessible::installUpdateHandler(nullptr);
    g_updates = nullptr;

    const QString focused = QString::number(int(QAccessible::Focus), 16);
    const QString moved = QString::number(int(QAccessible::TextCaretMoved), 16);
    EXPECT_EQ(updates,
              (std::vector<QString>{focused + ":second", moved + ":second", focused + ":first"}));
}

} // namespace
