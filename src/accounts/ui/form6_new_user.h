#pragma once
// The new-user window: checks nick, full name and password, writes a fresh
// profile and adds the nick to the login nicks.

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class TForm6 : public QWidget {
  public:
    explicit TForm6(QWidget* parent = nullptr);

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
};
