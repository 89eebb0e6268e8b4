#pragma once
// The password change window: a pupil's new digest text goes to the profile
// file, the administrator's to the machine store.

#include "accounts/ui/account_parts.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class TForm7 : public QWidget {
  public:
    // Changes the password of `parts.user`.
    explicit TForm7(const AccountParts& parts, QWidget* parent = nullptr);

    void Edit3KeyPress(QChar key);
    void Button1Click();

    QLabel* StaticText1;
    QLineEdit* Edit1;
    QLabel* StaticText2;
    QLineEdit* Edit2;
    QLabel* StaticText3;
    QLineEdit* Edit3;
    QPushButton* Button1;

  private:
    void CreateControls();
    void ChangeDone();

    AccountParts parts_;
};
