// The real message and input boxes, with no translation of Qt loaded: their
// standard buttons read "OK" and "Отмена" all the same, and each button gives
// the answer its text promises.

#include "ui/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Seen {
    std::string buttons; // texts, sorted, joined by " | "
    QString title;
};

// Waits for the modal box that `show` opens, notes its buttons, then presses
// the one reading `press`.
Seen AnswerBox(const QString& press, const std::function<void()>& show,
               const std::function<void(QWidget*)>& beforePress = {})
{
    Seen seen;
    bool pressed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || pressed)
            return;
        const auto* buttonBox = box->findChild<QDialogButtonBox*>();
        if (!buttonBox)
            return;
        pressed = true;
        seen.title = box->windowTitle();
        QAbstractButton* target = nullptr;
        QStringList texts;
        for (QAbstractButton* button : buttonBox->buttons()) {
            texts << button->text();
            if (button->text() == press)
                target = button;
        }
        texts.sort();
        seen.buttons = texts.join(" | ").toStdString();
        if (beforePress)
            beforePress(box);
        if (target)
            target->click();
        else
            box->close();
    });
    poll.start(5);
    show();
    poll.stop();
    EXPECT_TRUE(pressed) << "no modal box appeared";
    return seen;
}

const std::string kOkCancel = "OK | Отмена";

TEST(StandardButtonsTest, QuestionsAndThePauseBoxReadOkAndOtmena)
{
    Dialogs& d = QtDialogs();
    for (QuestionIcon icon : {QuestionIcon::Question, QuestionIcon::Warning}) {
        bool answer = false;
        Seen seen = AnswerBox("OK", [&] { answer = d.question("Удалить пользователя?", icon); });
        EXPECT_EQ(seen.buttons, kOkCancel);
        EXPECT_EQ(seen.title, "Вопрос");
        EXPECT_TRUE(answer);

        seen = AnswerBox("Отмена", [&] { answer = d.question("Удалить пользователя?", icon); });
        EXPECT_EQ(seen.buttons, kOkCancel);
        EXPECT_FALSE(answer);
    }

    QWidget owner;
    bool going = false;
    Seen seen = AnswerBox("OK", [&] { going = d.pauseBox(&owner, "ПАУЗА", "Нажмите OK"); });
    EXPECT_EQ(seen.buttons, kOkCancel);
    EXPECT_TRUE(going);
    seen = AnswerBox("Отмена", [&] { going = d.pauseBox(&owner, "ПАУЗА", "Нажмите OK"); });
    EXPECT_FALSE(going);
}

TEST(StandardButtonsTest, MessagesAndErrorReportsReadOk)
{
    Dialogs& d = QtDialogs();
    EXPECT_EQ(AnswerBox("OK", [&] { d.message("Пользователь создан"); }).buttons, "OK");
    EXPECT_EQ(AnswerBox("OK", [&] { d.errorReport("Read beyond end of file"); }).buttons, "OK");
}

TEST(StandardButtonsTest, TheInputBoxReadsOkAndOtmena)
{
    Dialogs& d = QtDialogs();
    auto type = [](const QString& text) {
        return [text](QWidget* box) { box->findChild<QLineEdit*>()->setText(text); };
    };
    QString typed;
    Seen seen = AnswerBox(
        "OK", [&] { typed = d.inputBox("Введите число", "Введите до скольки очков", ""); },
        type("12"));
    EXPECT_EQ(seen.buttons, kOkCancel);
    EXPECT_EQ(seen.title, "Введите число");
    EXPECT_EQ(typed, "12");

    seen = AnswerBox(
        "Отмена", [&] { typed = d.inputBox("Введите число", "Введите до скольки очков", "5"); },
        type("12"));
    EXPECT_EQ(seen.buttons, kOkCancel);
    EXPECT_EQ(typed, ""); // Cancel yields the empty text
}

} // namespace
