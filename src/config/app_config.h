#pragma once
// The persisted configuration: scoring parameters, user folder, sound
// preference. Read once at start-up from the machine store's key
// "Software\Brenk\Dorvo" (values "AdmConf", "PathUser", "NoSound").

#include <QString>
#include <optional>

struct ScoringSettings {
    qint32 rightStreakLength = 5;
    qint32 wrongStreakLength = 2;
    qint32 bonusPoints = 2;
    qint32 penaltyPoints = 2;
};

struct AppConfig {
    ScoringSettings Scoring;
    QString PathUser; // the user folder, ending with "/" (or empty)
    bool NoSound = false;
    // The effective switch: true means no sound is played. Not persisted.
    bool soundOff = true;
};

// The program's configuration (a part of its ProgramState).
AppConfig& appConfig();

extern const char* const kConfigKey; // "Software\\Brenk\\Dorvo"

// Defaults for `config`'s Scoring and NoSound; sounds on when there is a
// sound device.
void SetDefaultSettings(AppConfig& config);
// Start-up step: program folder set, user folder := program folder.
void InitFolders();
// The user folder the store names ("PathUser" with exactly one trailing "/"),
// none when the value is absent. Reads without creating anything; StoreError
// when the value is not a string.
std::optional<QString> StoredUserFolder();
// The values the store holds, as read in their order ("AdmConf", "PathUser"
// with one trailing "/", "NoSound"); `error` is the text of the StoreError that
// ended the reading (a value of the wrong type), empty when none did.
struct StoredSettings {
    std::optional<QString> admConf;
    std::optional<QString> pathUser;
    std::optional<qint32> noSound;
    QString error;
};
StoredSettings ReadStoredSettings();
// Start-up steps: defaults, then the store's values, then soundOff. A value of
// the wrong type raises StoreError after soundOff has been settled; the values
// read before it stay.
void LoadConfig();
// The same with the values read elsewhere (by the class folder's keeper).
void LoadConfigFrom(const StoredSettings& stored);
// Writes the administrator's settings into the store: "AdmConf" from
// `scoring`, "PathUser" from `folder` (deleted when it names the program
// folder) and "NoSound". StoreError when the key cannot be opened with full
// access or a value cannot be written; the new values apply at the next start.
void SaveSettings(const ScoringSettings& scoring, const QString& folder, bool noSound);
