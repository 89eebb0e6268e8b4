#include "platform/dialogs.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Where no windows are installed (a console program): texts go to the
// standard error, every question is answered Cancel.
class ConsoleDialogs : public Dialogs {
  public:
    void message(const QString& text) override { Print(text); }
    bool question(const QString& text, QuestionIcon) override
    {
        Print(text);
        return false;
    }
    QString inputBox(const QString&, const QString& prompt, const QString&) override
    {
        Print(prompt);
        return QString();
    }
    bool pauseBox(QWidget*, const QString&, const QString& text) override
    {
        Print(text);
        return false;
    }
    bool chooseFolder(QWidget*, QString&) override { return false; }
    void errorReport(const QString& text) override { Print(text); }
    void endProgram() override
    {
        std::fflush(nullptr);
        ::_exit(0);
    }

  private:
    static void Print(const QString& text) { std::fprintf(stderr, "%s\n", qUtf8Printable(text)); }
};

ConsoleDialogs consoleDialogs;
Dialogs* standard = &consoleDialogs;
Dialogs* current = nullptr;

} // namespace

Dialogs& dialogs() { return current ? *current : *standard; }

void setDialogs(Dialogs* d) { current = d; }

void setStandardDialogs(Dialogs* d) { standard = d ? d : &consoleDialogs; }
