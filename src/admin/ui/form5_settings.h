#pragma once
// The administrator's settings window "Установки ADM": scoring parameters,
// user folder and sound preference. Saving writes only the machine store and
// ends the program; the new values apply at the next start.

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

class TForm5 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm5(QWidget* parent = nullptr);

    // Copies appConfig() into the controls; an edit whose text changes runs its check.
    void FillSettingsWindow();
    // The action of "Сохранить": rights, field checks, folder, then the store.
    void SaveConfig();

    void Edit2Change();
    void Edit3Change();
    void Edit4Change();
    void Edit5Change();
    void UpDown2Click();
    void UpDown3Click();
    void UpDown4Click();
    void UpDown5Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void SpeedButton1Click();

    QLabel* StaticText3;
    QLineEdit* Edit2;
    QSpinBox* UpDown2;
    QLabel* StaticText4;
    QLineEdit* Edit4;
    QSpinBox* UpDown4;
    QLabel* StaticText5;
    QLineEdit* Edit3;
    QSpinBox* UpDown3;
    QLabel* StaticText6;
    QLineEdit* Edit5;
    QSpinBox* UpDown5;
    QLabel* StaticText7;
    QLineEdit* Edit8;
    QToolButton* SpeedButton1;
    QCheckBox* CheckBox2;
    QPushButton* Button3;
    QPushButton* Button2;
    QPushButton* Button1;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void CreateControls();
};
