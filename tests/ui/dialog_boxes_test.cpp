// The real boxes behind the dialogs seam, answered from the keyboard: Enter on
// a box as it opens gives the answer of its default button, Escape and the
// window's close button give Cancel. A warning question has Cancel as its
// default, so that a misplaced Enter never confirms a destructive step.

#include "ui/qt_dialogs.h"
#include "ui/real_boxes.h"

#include <QWidget>
#include <functional>

namespace {

const QString kOk = QStringLiteral("OK");
const QString kCancel = QStringLiteral("Отмена");

QString Answer(bool ok) { return ok ? QStringLiteral("OK") : QStringLiteral("Cancel"); }

struct Asked {
    QString answer;
    SeenBox box;
};

// Opens a box through `ask`, answers it with `answer` and gives what came back.
Asked AskAndAnswer(const std::function<QString()>& ask, BoxAnswer answer)
{
    RealBoxes boxes({answer});
    Asked asked;
    asked.answer = ask();
    EXPECT_TRUE(boxes.allAnswered()) << "no box appeared";
    if (!boxes.seen.empty())
        asked.box = boxes.seen.front();
    return asked;
}

TEST(DialogBoxesTest, EnterGivesTheDefaultAnswerEscapeAndClosingGiveCancel)
{
    Dialogs& d = QtDialogs();
    QWidget mainWindow;
    mainWindow.show();
    const auto question = [&d] {
        return Answer(d.question(QStringLiteral("Удалить пользователя?")));
    };
    const auto warning = [&d] {
        return Answer(
            d.question(QStringLiteral("Сбросить таблицу рекордов?"), QuestionIcon::Warning));
    };
    const auto pause = [&] {
        return Answer(d.pauseBox(&mainWindow, QStringLiteral("ПАУЗА"),
                                 QStringLiteral("Нажмите OK для продолжения тренировки или "
                                                "Отмена для  выхода из программы")));
    };
    const auto input = [&d] {
        return d.inputBox(QStringLiteral("Введите число"),
                          QStringLiteral("Введите до скольки очков мы с вами работаем"),
                          QStringLiteral("7"));
    };
    const struct {
        const char* box;
        std::function<QString()> ask;
        BoxAnswer answer;
        QString expected;
        QString defaultButton;
    } cases[] = {
        {"question", question, {BoxKey::Enter}, "OK", kOk},
        {"question", question, {BoxKey::Escape}, "Cancel", kOk},
        {"question", question, {BoxKey::Close}, "Cancel", kOk},
        {"question", question, {BoxKey::ClickOk}, "OK", kOk},
        {"warning question", warning, {BoxKey::Enter}, "Cancel", kCancel},
        {"warning question", warning, {BoxKey::Escape}, "Cancel", kCancel},
        {"warning question", warning, {BoxKey::Close}, "Cancel", kCancel},
        {"warning question", warning, {BoxKey::ClickOk}, "OK", kCancel},
        {"pause box", pause, {BoxKey::Enter}, "OK", kOk},
        {"pause box", pause, {BoxKey::Escape}, "Cancel", kOk},
        {"pause box", pause, {BoxKey::Close}, "Cancel", kOk},
        {"input box", input, {BoxKey::Enter}, "7", kOk},
        {"input box", input, {BoxKey::Enter, "12"}, "12", kOk},
        {"input box", input, {BoxKey::Escape, "12"}, "", kOk},
        {"input box", input, {BoxKey::Close, "12"}, "", kOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.box) + ", " + KeyName(c.answer.key) +
                     (c.answer.typed ? std::string(" after typing ") + c.answer.typed : ""));
        const Asked asked = AskAndAnswer(c.ask, c.answer);
        EXPECT_EQ(asked.answer.toStdString(), c.expected.toStdString());
        EXPECT_EQ(asked.box.defaultButton.toStdString(), c.defaultButton.toStdString());
        EXPECT_EQ(asked.box.buttons, "OK | Отмена");
    }
}

TEST(DialogBoxesTest, EachBoxHasItsCaptionIconAndOwner)
{
    Dialogs& d = QtDialogs();
    QWidget mainWindow;
    mainWindow.show();
    const struct {
        const char* box;
        std::function<QString()> ask;
        QString title;
        QMessageBox::Icon icon;
        QWidget* owner;
    } cases[] = {
        {"question", [&d] { return Answer(d.question("Обнулить пароль?")); }, "Вопрос",
         QMessageBox::Question, nullptr},
        {"warning question",
         [&d] { return Answer(d.question("Сбросить таблицу рекордов?", QuestionIcon::Warning)); },
         "Вопрос", QMessageBox::Warning, nullptr},
        {"pause box", [&] { return Answer(d.pauseBox(&mainWindow, "ПАУЗА", "Нажмите OK")); },
         "ПАУЗА", QMessageBox::Warning, &mainWindow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        const Asked asked = AskAndAnswer(c.ask, {BoxKey::Escape});
        EXPECT_EQ(asked.box.title.toStdString(), c.title.toStdString());
        EXPECT_EQ(asked.box.icon, c.icon);
        if (c.owner) {
            EXPECT_EQ(asked.box.owner, c.owner);
        }
    }
}

TEST(DialogBoxesTest, MessagesAndErrorReportsCloseWithEnterEscapeOrTheCloseButton)
{
    Dialogs& d = QtDialogs();
    for (BoxKey key : {BoxKey::Enter, BoxKey::Escape, BoxKey::Close}) {
        SCOPED_TRACE(KeyName(key));
        Asked asked = AskAndAnswer(
            [&d] {
                d.message(QStringLiteral("Пользователь создан"));
                return QString();
            },
            {key});
        EXPECT_EQ(asked.box.text.toStdString(), "Пользователь создан");
        EXPECT_EQ(asked.box.buttons, "OK");
        asked = AskAndAnswer(
            [&d] {
                d.errorReport(QStringLiteral("Read beyond end of file"));
                return QString();
            },
            {key});
        EXPECT_EQ(asked.box.text.toStdString(), "Read beyond end of file");
        EXPECT_EQ(asked.box.icon, QMessageBox::Critical);
    }
}

} // namespace

// The boxes quote nicks, full names and file names: their texts show as typed,
// never as bold text, a picture or a link, and "&" stays.
TEST(DialogBoxesTest, EveryBoxShowsItsTextAsPlainText)
{
    Dialogs& d = QtDialogs();
    QWidget mainWindow;
    mainWindow.show();
    const QString texts[] = {
        QStringLiteral("Error 12 :<b>Петя</b>"),
        QStringLiteral("Error 11 :<img src=\"/nonexistent/zelvo-picture.png\">"),
        QStringLiteral("<a href=\"http://x/\">x</a>"),
        QStringLiteral("&amp; Петя & Вася"),
    };
    for (const QString& text : texts) {
        const struct {
            const char* box;
            std::function<QString()> ask;
        } boxes[] = {
            {"message",
             [&] {
                 d.message(text);
                 return QString();
             }},
            {"error report",
             [&] {
                 d.errorReport(text);
                 return QString();
             }},
            {"question", [&] { return Answer(d.question(text)); }},
            {"warning question", [&] { return Answer(d.question(text, QuestionIcon::Warning)); }},
            {"pause box", [&] { return Answer(d.pauseBox(&mainWindow, "ПАУЗА", text)); }},
            {"input box", [&] { return d.inputBox("Введите число", text, "7"); }},
        };
        for (const auto& b : boxes) {
            SCOPED_TRACE(std::string(b.box) + ": " + text.toStdString());
            const Asked asked = AskAndAnswer(b.ask, {BoxKey::Escape});
            EXPECT_EQ(asked.box.text.toStdString(), text.toStdString());
            EXPECT_EQ(asked.box.textFormat, Qt::PlainText);
        }
    }
}
