#include "records/ui/form8_statistics.h"

#include "accounts/current_user.h"
#include "platform/dialogs.h"
#include "records/statistics_text.h"
#include "ui/control_factory.h"
#include "util/text.h"

#include <QLabel>

namespace {

void SetValue(QLabel* value, const QString& text)
{
    value->setText(text);
    value->adjustSize();
}

} // namespace

TForm8::TForm8(QWidget* parent) : QWidget(parent, Qt::Window) { CreateControls(); }

void TForm8::CreateControls()
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Статистика"));
    move(192, 107);
    resize(ClientSizeForOuterSize(584, 428));

    StaticText1 = MakeLabel(this, QStringLiteral("StaticText1"),
                            QStringLiteral("Общее количество очков"), QPoint(40, 56));
    StaticText2 = MakeValue(this, QStringLiteral("StaticText2"), QPoint(192, 56));
    StaticText3 = MakeLabel(this, QStringLiteral("StaticText3"), QStringLiteral("Общее время"),
                            QPoint(96, 112));
    StaticText4 = MakeValue(this, QStringLiteral("StaticText4"), QPoint(192, 112));
    StaticText5 = MakeLabel(this, QStringLiteral("StaticText5"),
                            QStringLiteral("Скорость (очков в минуту)"), QPoint(40, 160));
    StaticText6 = MakeValue(this, QStringLiteral("StaticText6"), QPoint(192, 160));
    StaticText7 =
        MakeLabel(this, QStringLiteral("StaticText7"), QStringLiteral("Ник"), QPoint(48, 288));
    StaticText8 = MakeValue(this, QStringLiteral("StaticText8"), QPoint(80, 288));
    StaticText9 =
        MakeLabel(this, QStringLiteral("StaticText9"), QStringLiteral("ФИО"), QPoint(40, 320));
    StaticText10 = MakeValue(this, QStringLiteral("StaticText10"), QPoint(80, 320));
}

void TForm8::ShowUserStatistics(const QString& nick)
{
    if (nick.isEmpty()) {
        dialogs().message(kLoginNeededMessage);
        return;
    }
    if (!ReadProfile(nick, statisticsRecord_)) {
        dialogs().message(QStringLiteral("Error 11 :") + nick);
        return;
    }
    const UserProfile& profile = statisticsRecord_;
    SetValue(StaticText4, DurationText(profile.totalTime));
    SetValue(StaticText6, SpeedText(profile.totalPoints, profile.totalTime));
    SetValue(StaticText8, nick);
    SetValue(StaticText10, profile.fullName);
    SetValue(StaticText2, QString::number(profile.totalPoints));
    show();
    raise();
    activateWindow();
}
