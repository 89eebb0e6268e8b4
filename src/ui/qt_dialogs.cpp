#include "ui/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

#include <cstdio>
#include <unistd.h>

namespace {

const QString kCaption = QStringLiteral("Zelvo");
// The standard buttons carry the program's own texts, so that they read the
// same whether or not a translation of Qt is installed.
const QString kOkText = QStringLiteral("OK");
const QString kCancelText = QStringLiteral("Отмена");

void NameButtons(QMessageBox& box)
{
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->setText(kOkText);
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        cancel->setText(kCancelText);
}

// The texts quote nicks, full names and file names: they are shown as plain
// text, so that markup in them never loads a picture or opens a link. The
// format is set before the text, which then wraps as any plain text does.
void SetPlainText(QMessageBox& box, const QString& text)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

// Escape and the window's close button answer Cancel.
int AskOkCancel(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, QString(), QMessageBox::Ok | QMessageBox::Cancel, owner);
    SetPlainText(box, text);
    NameButtons(box);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

void Show(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, kCaption, QString(), QMessageBox::Ok, QApplication::activeWindow());
    SetPlainText(box, text);
    NameButtons(box);
    box.exec();
}

class QtDialogBoxes : public Dialogs {
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
        QInputDialog box(QApplication::activeWindow());
        box.setWindowTitle(caption);
        // The box makes its prompt's label on the first text; the prompt is
        // put there once that label shows plain text.
        box.setLabelText(QString());
        for (QLabel* label : box.findChildren<QLabel*>())
            label->setTextFormat(Qt::PlainText);
        box.setLabelText(prompt);
        box.setTextValue(defaultText);
        box.setOkButtonText(kOkText);
        box.setCancelButtonText(kCancelText);
        return box.exec() == QDialog::Accepted ? box.textValue() : QString();
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

} // namespace

Dialogs& QtDialogs()
{
    static QtDialogBoxes boxes;
    return boxes;
}
