#pragma once
// Answers the real modal boxes (message, question, pause and input boxes) as a
// person at the keyboard would: each box, once it is the active window, gets
// the next scripted answer, sent to the control that has the focus. Every box
// is noted. A box that nobody scripted, or one that stays open after its
// answer, fails the test and is dismissed, so that no test can hang on a box.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <string>
#include <vector>

enum class BoxKey {
    Enter,   // Enter, on the box as it opened
    Escape,  // Escape
    Close,   // the window's close button
    ClickOk, // a click on the button reading "OK"
};

struct BoxAnswer {
    BoxKey key;
    // Typed into an input box's field first, replacing its text; null: nothing typed.
    const char* typed = nullptr;
};

inline const char* KeyName(BoxKey key)
{
    switch (key) {
    case BoxKey::Enter:
        return "Enter";
    case BoxKey::Escape:
        return "Escape";
    case BoxKey::Close:
        return "close button";
    case BoxKey::ClickOk:
        return "click on OK";
    }
    return "?";
}

// What a box showed when it was answered.
struct SeenBox {
    QString title;
    QString text; // a message box's text, an input box's prompt
    // The format of the label that shows `text` (AutoText when none does).
    Qt::TextFormat textFormat = Qt::AutoText;
    std::string buttons;   // the buttons' texts, sorted, joined by " | "
    QString defaultButton; // the text of the button Enter presses
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* owner = nullptr;
};

class RealBoxes {
  public:
    explicit RealBoxes(std::vector<BoxAnswer> answers, int patienceMs = 5000)
        : answers_(std::move(answers)), patienceMs_(patienceMs)
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start(5);
        sinceAnswer_.start();
    }
    ~RealBoxes() { poll_.stop(); }
    RealBoxes(const RealBoxes&) = delete;
    RealBoxes& operator=(const RealBoxes&) = delete;

    // The boxes seen, in order.
    std::vector<SeenBox> seen;

    // The boxes' texts in order, joined by " | " (readable in a failure).
    std::string texts() const
    {
        QStringList all;
        for (const SeenBox& box : seen)
            all << box.text;
        return all.join(QStringLiteral(" | ")).toStdString();
    }
    // Whether every scripted answer was given.
    bool allAnswered() const { return next_ == answers_.size(); }

  private:
    static SeenBox Note(QWidget* box)
    {
        SeenBox note;
        note.title = box->windowTitle();
        note.owner = box->parentWidget();
        if (auto* message = qobject_cast<QMessageBox*>(box)) {
            note.text = message->text();
            note.icon = message->icon();
        } else if (auto* input = qobject_cast<QInputDialog*>(box)) {
            note.text = input->labelText();
        }
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (label->isVisible() && label->text() == note.text)
                note.textFormat = label->textFormat();
        }
        QStringList buttons;
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
            if (!button->isVisible())
                continue;
            buttons << button->text();
            if (button->isDefault())
                note.defaultButton = button->text();
        }
        buttons.sort();
        note.buttons = buttons.join(QStringLiteral(" | ")).toStdString();
        return note;
    }

    // Where a key pressed now would go: the focused control of the box.
    static QWidget* KeyTarget(QWidget* box)
    {
        QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == box || box->isAncestorOf(focus)))
            return focus;
        return box->focusWidget() ? box->focusWidget() : box;
    }

    static void Dismiss(QWidget* box)
    {
        if (auto* dialog = qobject_cast<QDialog*>(box))
            dialog->reject();
        else
            box->close();
    }

    void Answer(QWidget* box, const BoxAnswer& answer)
    {
        if (answer.typed) {
            if (auto* edit = box->findChild<QLineEdit*>())
                edit->setText(QString::fromUtf8(answer.typed));
            else
                ADD_FAILURE() << "no field to type \"" << answer.typed << "\" into";
        }
        switch (answer.key) {
        case BoxKey::Enter:
            QTest::keyClick(KeyTarget(box), Qt::Key_Return);
            break;
        case BoxKey::Escape:
            QTest::keyClick(KeyTarget(box), Qt::Key_Escape);
            break;
        case BoxKey::Close:
            // As the window manager does: a close request to the window.
            if (QWindow* window = box->windowHandle())
                window->close();
            else
                box->close();
            break;
        case BoxKey::ClickOk:
            for (QPushButton* button : box->findChildren<QPushButton*>()) {
                if (button->text() == QLatin1String("OK")) {
                    button->click();
                    return;
                }
            }
            ADD_FAILURE() << "no button reads OK";
            break;
        }
    }

    void Poll()
    {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) {
            sinceAnswer_.restart();
            return;
        }
        if (box->property("answeredByTest").toBool()) {
            // Still open after its answer.
            if (sinceAnswer_.elapsed() > patienceMs_) {
                ADD_FAILURE() << "the box \"" << box->windowTitle().toStdString()
                              << "\" stayed open after its answer";
                Dismiss(box);
            }
            return;
        }
        // Answer as a person would: once the box is the active window.
        if (!box->isActiveWindow() && sinceAnswer_.elapsed() < patienceMs_)
            return;
        EXPECT_TRUE(box->isActiveWindow()) << "the box never became the active window";
        box->setProperty("answeredByTest", true);
        seen.push_back(Note(box));
        sinceAnswer_.restart();
        if (next_ == answers_.size()) {
            ADD_FAILURE() << "unexpected box: \"" << seen.back().text.toStdString() << "\"";
            Dismiss(box);
            return;
        }
        Answer(box, answers_[next_++]);
    }

    std::vector<BoxAnswer> answers_;
    size_t next_ = 0;
    int patienceMs_;
    QTimer poll_;
    QElapsedTimer sinceAnswer_;
};
