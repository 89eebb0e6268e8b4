#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>
#include <unistd.h>

namespace {

const QString kCaption = QStringLiteral("Zelvo");

// Escape and the window's close button answer Cancel.
int AskOkCancel(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok | QMessageBox::Cancel, owner);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

void Show(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, kCaption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

class QtDialogs : public Dialogs {
  public:
    void message(const QString& text) override { Show(QMessageBox::NoIcon, text); }

    bool question(const QString& text, QuestionIcon icon) override
    {
        const bool warning = icon == QuestionIcon::Warning;
        return AskOkCancel(QApplication::activeWindow(),
                           warning ? QMessageBox::Warning : QMessageBox::Question,
                           QStringLiteral("Вопрос"), text,
                           warning ? QMessageBox::Cancel : QMessageBox::Ok) != QMessageBox::Cancel;
    }

    QString inputBox(const QString& caption, const QString& prompt,
                     const QString& defaultText) override
    {
        bool ok = false;
        QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                             QLineEdit::Normal, defaultText, &ok);
        return ok ? text : QString();
    }

    bool pauseBox(QWidget* owner, const QString& caption, const QString& text) override
    {
        return AskOkCancel(owner, QMessageBox::Warning, caption, text, QMessageBox::Ok) ==
               QMessageBox::Ok;
    }

    bool chooseFolder(QWidget* owner, QString& folder) override
    {
        QString chosen = QFileDialog::getExistingDirectory(owner, QStringLiteral("Select Folder"),
                                                           QString(), QFileDialog::ShowDirsOnly);
        if (chosen.isEmpty())
            return false;
        folder = chosen;
        return true;
    }

    void errorReport(const QString& text) override { Show(QMessageBox::Critical, text); }

    // Nothing is left open between handlers and every store is replaced
    // atomically, so ending here loses nothing.
    void endProgram() override
    {
        std::fflush(nullptr);
        ::_exit(0);
    }
};

QtDialogs qtDialogs;
Dialogs* current = nullptr;

} // namespace

Dialogs& dialogs() { return current ? *current : qtDialogs; }

void setDialogs(Dialogs* d) { current = d; }
