#pragma once
// Synchronous WAV playback: play() returns when the sound has drained.

#include <QString>
#include <QStringList>

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // Plays the file; MediaError with the library's text when it cannot.
    virtual void play(const QString& path) = 0;
};

// ALSA on the PCM "default", playing what libsndfile decodes.
class AlsaSoundPlayer : public SoundPlayer {
  public:
    void play(const QString& path) override;
};

// Test stand-in: records what would play; can be told to fail.
class RecordingSoundPlayer : public SoundPlayer {
  public:
    void play(const QString& path) override;
    QStringList played;
    QString failWith; // non-empty: play() raises MediaError with this text
};

// True when the machine has at least one ALSA sound card.
bool HasSoundDevice();
