#pragma once
// The main window's controls that the exercise drives. The main window owns
// them and hands them over when the windows are wired together.

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;
class SpokenNotice;

struct ExerciseControls {
    QWidget* window = nullptr;      // the main window (owner of the pause box)
    QLineEdit* Edit1 = nullptr;     // answer field
    QLabel* StaticText1 = nullptr;  // the example
    QLabel* StaticText4 = nullptr;  // score
    QLabel* StaticText6 = nullptr;  // error count
    QLabel* StaticText8 = nullptr;  // points of the last answer
    QLabel* StaticText11 = nullptr; // clock
    QLabel* StaticText13 = nullptr; // full name of the logged-in user
    QLabel* StaticText16 = nullptr; // hint line
    // Digit keys "0" to "9" by digit: digitButtons[7] is Button1 "7", [0] is Button13.
    QPushButton* digitButtons[10] = {};
    QPushButton* Button10 = nullptr; // "Пауза"
    QPushButton* Button11 = nullptr; // "Ввод"
    QPushButton* Button12 = nullptr; // "Сброс"
    QPushButton* Button14 = nullptr; // "<-"
    QGroupBox* GroupBox1 = nullptr;  // keypad frame
    QTimer* Timer1 = nullptr;        // clock, 1000 ms
    QTimer* Timer2 = nullptr;        // hint pulsing, 200 ms
    QAction* N1 = nullptr;           // menu headers disabled while an exercise runs
    QAction* N2 = nullptr;
    QAction* N4 = nullptr;
    SpokenNotice* notice = nullptr; // what a screen reader says of the exercise
};
