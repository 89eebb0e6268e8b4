#include "config/app_config.h"

#include "platform/config_store.h"
#include "platform/errors.h"
#include "platform/process_state.h"
#include "platform/sound_player.h"
#include "util/files.h"
#include "util/number.h"
#include "util/text.h"

const char* const kConfigKey = "Software\\Brenk\\Dorvo";

AppConfig& appConfig() { return StatePart<AppConfig>(); }

void SetDefaultSettings(AppConfig& config)
{
    config.Scoring = ScoringSettings();
    config.NoSound = false;
    if (HasSoundDevice())
        config.soundOff = false;
}

void InitFolders()
{
    // The program folder is set once; a test may have placed it already.
    if (ProgramFolder().isEmpty())
        InitProgramFolder();
    appConfig().PathUser = ProgramFolder();
}

namespace {

// "AdmConf": four "|"-separated numbers; an unparsable or missing field keeps its default.
void ApplyAdmConf(const QString& text, ScoringSettings& scoring)
{
    if (text.isEmpty())
        return;
    qint32* fields[] = {&scoring.rightStreakLength, &scoring.wrongStreakLength,
                        &scoring.bonusPoints, &scoring.penaltyPoints};
    for (int n = 1; n <= 4; ++n) {
        if (std::optional<qint32> value = ParseNumber(BarField(n, text)))
            *fields[n - 1] = *value;
    }
}

std::optional<QString> ReadUserFolder(const StoreKey& key)
{
    if (std::optional<QString> pathUser = key.readString(QStringLiteral("PathUser")))
        return WithTrailingSeparator(*pathUser);
    return std::nullopt;
}

} // namespace

StoredSettings ReadStoredSettings()
{
    StoredSettings stored;
    try {
        StoreKey key = StoreKey::openRead(QString::fromLatin1(kConfigKey), true);
        stored.admConf = key.readString(QStringLiteral("AdmConf"));
        stored.pathUser = ReadUserFolder(key);
        stored.noSound = key.readNumber(QStringLiteral("NoSound"));
    } catch (const StoreError& error) {
        stored.error = error.text();
    }
    return stored;
}

std::optional<QString> StoredUserFolder()
{
    return ReadUserFolder(StoreKey::openRead(QString::fromLatin1(kConfigKey)));
}

void LoadConfig() { LoadConfigFrom(ReadStoredSettings()); }

void LoadConfigFrom(const StoredSettings& stored)
{
    AppConfig& config = appConfig();
    SetDefaultSettings(config);
    if (stored.admConf)
        ApplyAdmConf(*stored.admConf, config.Scoring);
    if (stored.pathUser)
        config.PathUser = *stored.pathUser;
    if (stored.noSound)
        config.NoSound = *stored.noSound != 0;
    config.soundOff = HasSoundDevice() ? config.NoSound : true;
    if (!stored.error.isEmpty())
        throw StoreError(stored.error);
}

void SaveSettings(const ScoringSettings& scoring, const QString& folder, bool noSound)
{
    std::optional<StoreKey> key = StoreKey::openFull(QString::fromLatin1(kConfigKey), true);
    if (!key) // the store went out of reach after the rights check
        throw StoreError(QStringLiteral("Failed to set data for 'AdmConf'"));

    QStringList admConf;
    for (qint32 value : {scoring.rightStreakLength, scoring.wrongStreakLength, scoring.bonusPoints,
                         scoring.penaltyPoints})
        admConf << QString::number(value);
    key->writeString(QStringLiteral("AdmConf"), admConf.join(QLatin1Char('|')));

    // The root folder keeps its one "/": stripped to nothing it would read
    // back as an empty user folder, that is the current folder.
    QString storedFolder = StripTrailingSeparators(folder);
    if (storedFolder.isEmpty())
        storedFolder = QStringLiteral("/");
    if (UpperText(storedFolder) != UpperText(StripTrailingSeparators(ProgramFolder())))
        key->writeString(QStringLiteral("PathUser"), storedFolder);
    else
        key->deleteValue(QStringLiteral("PathUser"));

    key->writeNumber(QStringLiteral("NoSound"), noSound ? 1 : 0);
}
