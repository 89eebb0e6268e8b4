#pragma once
// The administrator's service window "Сервис АДМ": one user's statistics,
// deleting a user, resetting a password, the summary table, resetting the
// current range's records table and a desktop shortcut to the program.

#include <QString>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TForm8;
class TForm10;

class TForm9 : public QWidget {
    Q_OBJECT
public:
    explicit TForm9(TForm8& statistics, QWidget* parent = nullptr);
    // The summary window is created after this one; it is linked in afterwards.
    void setSummaryWindow(TForm10* summary) { summary_ = summary; }

    // Lists every profile as "nick (full name)"; the typed text stays.
    void FillUserList();
    // The nick of the chosen or typed entry, or empty after "Выберите пользователя".
    QString SelectedNick();

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();

    QPushButton* Button4;
    QPushButton* Button3;
    QPushButton* Button6;
    QGroupBox* GroupBox1;
    QLabel* StaticText1;
    QComboBox* ComboBox1;
    QPushButton* Button1;
    QPushButton* Button5;
    QPushButton* Button2;

private:
    void CreateControls();

    TForm8& statistics_;
    TForm10* summary_ = nullptr;
};
