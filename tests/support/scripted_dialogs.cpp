#include "scripted_dialogs.h"

ScriptedDialogs::ScriptedDialogs() { setDialogs(this); }

ScriptedDialogs::~ScriptedDialogs() { setDialogs(nullptr); }

void ScriptedDialogs::message(const QString& text)
{
    shown << text;
    messages << text;
    if (onMessage)
        onMessage(text);
}

bool ScriptedDialogs::question(const QString& text, QuestionIcon icon)
{
    shown << text;
    questions << text;
    questionIcons.push_back(icon);
    if (questionAnswers.empty())
        return true;
    bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::inputBox(const QString& caption, const QString& prompt, const QString&)
{
    inputPrompts << caption + "|" + prompt;
    if (inputAnswers.empty())
        return QString();
    QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::pauseBox(QWidget*, const QString& caption, const QString& text)
{
    shown << caption + "|" + text;
    if (onPause)
        onPause();
    if (pauseAnswers.empty())
        return true;
    bool answer = pauseAnswers.front();
    pauseAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::chooseFolder(QWidget*, QString& folder)
{
    QString answer;
    if (!folderAnswers.empty()) {
        answer = folderAnswers.front();
        folderAnswers.pop_front();
    }
    if (answer.isEmpty())
        return false;
    folder = answer;
    return true;
}

void ScriptedDialogs::errorReport(const QString& text)
{
    shown << text;
    errors << text;
}

void ScriptedDialogs::endProgram() { ++endRequests; }
