#pragma once
// The personal statistics window: one user's total points, total time and
// speed, read from the user's profile.

#include "accounts/user_profile.h"

#include <QWidget>

class QLabel;
struct ClassFolderLink;

class TForm8 : public QWidget {
    Q_OBJECT
  public:
    // The profiles are read through `classFolder`.
    explicit TForm8(ClassFolderLink& classFolder, QWidget* parent = nullptr);

    // Reads the profile of `nick`, fills the window and shows it. An empty
    // nick or a profile that cannot be opened gets a message and nothing
    // else; a short profile raises IoError before anything changes.
    void ShowUserStatistics(const QString& nick);

    QLabel* StaticText1;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QLabel* StaticText4;
    QLabel* StaticText5;
    QLabel* StaticText6;
    QLabel* StaticText7;
    QLabel* StaticText8;
    QLabel* StaticText9;
    QLabel* StaticText10;

  private:
    void CreateControls();

    ClassFolderLink& classFolder_;
    UserProfile statisticsRecord_;
};
