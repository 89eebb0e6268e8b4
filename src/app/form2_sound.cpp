#include "app/form2_sound.h"

TForm2::TForm2(std::unique_ptr<SoundPlayer> player, QWidget* parent)
    : QWidget(parent), player_(std::move(player))
{
    setObjectName(QStringLiteral("Form2"));
}
