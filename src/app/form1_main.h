#pragma once
// The main window: the example, the answer field, the keypad, score, clock,
// user labels and the menu bar.

#include "accounts/current_user.h"
#include "exercise/ui/exercise_controls.h"

#include <QMainWindow>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

class ProgramWindows;

class SpokenNotice;

class TForm1 : public QMainWindow, public LoginStates {
    Q_OBJECT
  public:
    // `windows` makes the windows the menu opens when they are first needed.
    explicit TForm1(ProgramWindows& windows, QWidget* parent = nullptr);

    // The controls the exercise drives.
    ExerciseControls exerciseControls();

    void ShowLoggedOutMenus() override;
    void ShowAdminMenus() override;
    void ShowPupilMenus() override;
    void ResetMainDisplays();
    // The range chooser's "0-" label.
    void SetRangeLabel(const QString& text);

    void N3Click();
    void N5Click();
    void N6Click();
    void N7Click();
    void N8Click();
    void N9Click();
    void N10Click();
    void N11Click();
    void N12Click();
    void ADM1Click();
    void ADM2Click();

    QLabel* Label1;
    QLabel* StaticText1;
    QLabel* StaticText2;
    QLabel* StaticText7;
    QLineEdit* Edit1;
    QLabel* StaticText16;
    QGroupBox* GroupBox1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button6;
    QPushButton* Button7;
    QPushButton* Button8;
    QPushButton* Button9;
    QPushButton* Button13;
    QPushButton* Button11;
    QPushButton* Button14;
    QPushButton* Button12;
    QLabel* StaticText3;
    QLabel* StaticText4;
    QLabel* StaticText9;
    QLabel* StaticText8;
    QLabel* StaticText10;
    QLabel* StaticText11;
    QPushButton* Button10;
    QLabel* StaticText14;
    QLabel* StaticText15;
    QLabel* StaticText12;
    QLabel* StaticText13;
    QLabel* StaticText17;
    QLabel* StaticText18;
    QLabel* StaticText5;
    QLabel* StaticText6;
    QTimer* Timer1;
    QTimer* Timer2;

    QMenu* N1;
    QAction* N6;
    QAction* N7;
    QAction* N8;
    QAction* N9;
    QMenu* N2;
    QAction* N10;
    QAction* ADM2;
    QAction* N11;
    QMenu* N4;
    QAction* ADM1;
    QAction* N12;
    QAction* N3;
    QAction* N5;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void createControls();
    void createMenu();
    static void showWindow(QWidget& window);

    ProgramWindows& windows_;
    SpokenNotice* notice_ = nullptr;
};
