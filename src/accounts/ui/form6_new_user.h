#pragma once
// The new-user window: checks nick, full name and password, writes a fresh
// profile and adds the nick to the login nicks.

#include "accounts/ui/account_parts.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class TForm6 : public QWidget {
  public:
    // The new user becomes `parts.user` and joins `parts.loginNicks`.
    explicit TForm6(const AccountParts& parts, QWidget* parent = nullptr);

    // Told each nick created, after it joined the login nicks.
    std::function<void(const QString&)> nickCreated;

    void Button1Click();

    QLabel* StaticText1;
    QLineEdit* Edit1;
    QLabel* StaticText3;
    QLineEdit* Edit3;
    QLabel* StaticText4;
    QLineEdit* Edit4;
    QLabel* StaticText2;
    QLineEdit* Edit2;
    QPushButton* Button1;

  private:
    void CreateControls();

    AccountParts parts_;
};
