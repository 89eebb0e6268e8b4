#pragma once
// Every message box, question, input box, pause box, folder dialog and error
// report goes through this one interface, and so does ending the program.
// The program installs the windows' boxes (ui/qt_dialogs.h); tests install a
// scripted stand-in (setDialogs) that records the texts.

#include <QString>

class QWidget;

enum class QuestionIcon { Question, Warning };

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Modal box with the text and an OK button.
    virtual void message(const QString& text) = 0;
    // Caption "Вопрос", OK and Cancel; true unless the answer is Cancel
    // (closing the box counts as Cancel). The warning form has Cancel as default.
    virtual bool question(const QString& text, QuestionIcon icon = QuestionIcon::Question) = 0;
    // Input box with OK and Cancel; Cancel yields the empty text.
    virtual QString inputBox(const QString& caption, const QString& prompt,
                             const QString& defaultText) = 0;
    // Warning box with OK and Cancel owned by `owner`; true for OK.
    virtual bool pauseBox(QWidget* owner, const QString& caption, const QString& text) = 0;
    // Folder dialog "Select Folder"; false when cancelled.
    virtual bool chooseFolder(QWidget* owner, QString& folder) = 0;
    // The general error report: shows the text of an error that ended a handler.
    virtual void errorReport(const QString& text) = 0;
    // Ends the program at once. The stand-in records the request and returns,
    // so callers return right after calling it.
    virtual void endProgram() = 0;
};

// The dialogs in force: a test's own where one is installed, else the standard ones.
Dialogs& dialogs();
// Installs `d` (not owned); nullptr restores the standard dialogs.
void setDialogs(Dialogs* d);
// The standard dialogs (not owned): the windows' boxes in the program; without
// them texts go to the standard error and every question is answered Cancel.
void setStandardDialogs(Dialogs* d);
