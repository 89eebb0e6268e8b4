#pragma once
// The hidden window that owns the sound player. It is never shown.

#include "platform/sound_player.h"

#include <QWidget>
#include <memory>

class TForm2 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm2(std::unique_ptr<SoundPlayer> player, QWidget* parent = nullptr);
    SoundPlayer& MediaPlayer1() { return *player_; }

  private:
    std::unique_ptr<SoundPlayer> player_;
};
