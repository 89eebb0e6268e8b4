#pragma once
// A dialogs stand-in: records every text shown and gives scripted answers.

#include "platform/dialogs.h"

#include <QStringList>
#include <deque>
#include <functional>

class ScriptedDialogs : public Dialogs {
  public:
    ScriptedDialogs();           // installs itself
    ~ScriptedDialogs() override; // restores the Qt dialogs

    void message(const QString& text) override;
    bool question(const QString& text, QuestionIcon icon) override;
    QString inputBox(const QString& caption, const QString& prompt,
                     const QString& defaultText) override;
    bool pauseBox(QWidget* owner, const QString& caption, const QString& text) override;
    bool chooseFolder(QWidget* owner, QString& folder) override;
    void errorReport(const QString& text) override;
    void endProgram() override;

    // Every text shown, in order: messages, questions, pause texts, error reports.
    QStringList shown;
    QStringList messages;  // message() texts only
    QStringList errors;    // errorReport() texts only
    QStringList questions; // question() texts
    std::vector<QuestionIcon> questionIcons;
    QStringList inputPrompts; // "caption|prompt"
    int endRequests = 0;

    // Scripted answers; when a queue is empty: question OK, pause OK,
    // input "", folder cancelled.
    std::deque<bool> questionAnswers;
    std::deque<bool> pauseAnswers;
    std::deque<QString> inputAnswers;
    std::deque<QString> folderAnswers; // an empty text means Cancel

    // Runs after every message() (for instance to act inside a nested loop).
    std::function<void(const QString&)> onMessage;
    // Runs when the pause box is shown, before its answer is taken.
    std::function<void()> onPause;
};
