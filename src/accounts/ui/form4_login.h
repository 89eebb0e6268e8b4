#pragma once
// The login window: a nick from an editable list and a password; on success
// fills the current user and switches the main window's login state.

#include "accounts/ui/account_parts.h"

#include <QStringList>
#include <QWidget>

class LoginStates;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TForm4 : public QWidget {
  public:
    // The login fills `parts.user` and switches the main window's `states`.
    TForm4(LoginStates& states, const AccountParts& parts, QWidget* parent = nullptr);

    // The nick list: the login nicks as they are when the window is made,
    // then the nicks created since.
    QStringList nickList() const;
    void appendNick(const QString& nick);

    void FormCreate();
    void ComboBox1KeyPress(QChar key);
    void Edit1KeyPress(QChar key);
    void Button1Click();

    QLabel* StaticText1;
    QComboBox* ComboBox1;
    QLabel* StaticText2;
    QLineEdit* Edit1;
    QPushButton* Button1;

  private:
    void CreateControls();
    void LoginAdmin();
    void LoginPupil(const QString& nick);
    void RefusePassword();

    LoginStates& states_;
    AccountParts parts_;
};
