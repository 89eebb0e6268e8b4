#pragma once
// The administrator's service window "Сервис АДМ": one user's statistics,
// deleting a user, resetting a password, the summary table, resetting the
// records table of the range in use and a desktop shortcut to the program.

#include <QString>
#include <QWidget>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
struct ClassFolderLink;
struct NumberRange;
struct UserProfile;

class TForm9 : public QWidget {
    Q_OBJECT
  public:
    // The window reaches the user folder through `classFolder`; "Сбросить
    // таблицу рекордов" resets the table of `range` (the one in use), and the
    // profiles it reads pass through the administrator's `scratch` record.
    TForm9(ClassFolderLink& classFolder, const NumberRange& range, UserProfile& scratch,
           QWidget* parent = nullptr);

    // Where "Статистика" shows a user's statistics and "Сводная таблица" the
    // summary table; the windows that show them are made when first needed.
    std::function<void(const QString& nick)> showStatistics;
    std::function<void()> showSummary;

    // Lists every profile as "nick (full name)", each item with its nick as
    // its data; the typed text stays, and so does the chosen item.
    void FillUserList();
    // The nick of the chosen user, or empty after "Выберите пользователя":
    // the nick of the item whose text the field shows (the chosen one first),
    // else the typed text up to its first "(", trimmed.
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
    // The item whose text the field shows: the chosen item while its text is
    // unchanged, else the first item of that text; -1 for a text of no item.
    int ChosenItem() const;
    // The selected nick, looked at before `question` is asked and again after
    // "yes" (the list may have changed meanwhile); empty when there is none
    // or the answer is "no".
    QString ConfirmedNick(const QString& question);

    ClassFolderLink& classFolder_;
    const NumberRange& range_;
    UserProfile& scratch_;
};
