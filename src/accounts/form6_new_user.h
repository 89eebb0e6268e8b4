#pragma once
// The new-user window: checks nick, full name and password, writes a fresh
// profile and adds the nick to the login window's list.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class TForm4;

class TForm6 : public QWidget {
public:
    explicit TForm6(TForm4& login, QWidget* parent = nullptr);

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

    TForm4& login_;
};

// The first refusal of a new user's nick, full name and password (empty when
// they pass). `existingNicks` is the login window's nick list.
QString NewUserRefusal(const QString& nick, const QString& fullName, const QString& password,
                       const QString& repeat, const QStringList& existingNicks);
