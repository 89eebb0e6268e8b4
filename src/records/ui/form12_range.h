#pragma once
// The range chooser: 0-9, 0-20, 0-99 or 0-999. "OK" applies the checked range
// to the range in use and tells the main window its new label; closing the
// window any other way applies nothing.

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
struct NumberRange;

class TForm12 : public QWidget {
    Q_OBJECT
  public:
    // "OK" sets `range`, the range the exercises use.
    explicit TForm12(NumberRange& range, QWidget* parent = nullptr);

    void Button1Click();

    QLabel* StaticText1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QPushButton* Button1;

  signals:
    // "0-" + rangeText, for the main window's range label.
    void rangeApplied(const QString& label);

  protected:
    // The checked range takes the focus, so that the keyboard and a screen
    // reader start from the range in use.
    void showEvent(QShowEvent* event) override;

  private:
    void CreateControls();

    NumberRange& range_;
};
