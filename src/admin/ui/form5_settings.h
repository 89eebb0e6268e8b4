#pragma once
// The administrator's settings window "Установки ADM": scoring parameters,
// user folder and sound preference. Saving writes only the machine store and
// ends the program; the new values apply at the next start.

#include <QString>
#include <QWidget>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
struct AppConfig;
struct ClassFolderLink;

class TForm5 : public QWidget {
    Q_OBJECT
  public:
    // The window shows `config` and sets it to the defaults on "Выставить по
    // умолчанию"; "Сохранить" saves through `classFolder`.
    TForm5(AppConfig& config, ClassFolderLink& classFolder, QWidget* parent = nullptr);

    // Copies the configuration into the controls; an edit whose text changes runs its check.
    void FillSettingsWindow();
    // The action of "Сохранить": rights, field checks, folder, then the store.
    void SaveConfig();

    // A scoring field: its edit, its spinner, the least value it takes and
    // the warning below that.
    struct ScoringField {
        QLineEdit* edit;
        QSpinBox* spinner;
        qint32 least;
        QString warning;
    };
    // Edit2 (right streak), Edit3 (wrong streak), Edit4 (bonus), Edit5 (penalty).
    std::vector<ScoringField> ScoringFields() const;
    // An edit's text changed: a number below the least is warned of, any
    // other number moves the spinner; a text that is no number does nothing.
    void ScoringEditChange(const ScoringField& field);
    // A spinner moved: its edit shows the new value.
    void ScoringSpinnerClick(const ScoringField& field);
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

    AppConfig& config_;
    ClassFolderLink& classFolder_;
};
