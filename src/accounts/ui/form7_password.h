#pragma once
// The password change window: a pupil's new digest text goes to the profile
// file, the administrator's to the machine store.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class TForm7 : public QWidget {
  public:
    explicit TForm7(QWidget* parent = nullptr);

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
};
