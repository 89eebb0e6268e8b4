#include "records/ui/form8_statistics.h"

#include "accounts/current_user.h"
#include "keeper/class_folder_access.h"
#include "platform/dialogs.h"
#include "records/statistics_text.h"
#include "ui/control_factory.h"
#include "util/text.h"

#include <QLabel>

namespace {

// Room kept between a value text and the window's right edge.
constexpr int kRightMargin = 8;

// A value text one line high from `at` to the window's right margin: a long
// nick or full name is cut there instead of running out of the window.
QLabel* MakeLineValue(QWidget* window, const QString& name, const QPoint& at)
{
    QLabel* value = MakeValue(window, name, at);
    value->resize(window->width() - kRightMargin - at.x(), value->fontMetrics().height());
    return value;
}

} // namespace

TForm8::TForm8(ClassFolderLink& classFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), classFolder_(classFolder)
{
    CreateControls();
}

void TForm8::CreateControls()
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Статистика"));
    move(192, 107);
    resize(ClientSizeForOuterSize(584, 428));

    StaticText1 = MakeLabel(this, QStringLiteral("StaticText1"),
                            QStringLiteral("Общее количество очков"), QPoint(40, 56));
    StaticText2 = MakeLineValue(this, QStringLiteral("StaticText2"), QPoint(192, 56));
    StaticText3 = MakeLabel(this, QStringLiteral("StaticText3"), QStringLiteral("Общее время"),
                            QPoint(96, 112));
    StaticText4 = MakeLineValue(this, QStringLiteral("StaticText4"), QPoint(192, 112));
    StaticText5 = MakeLabel(this, QStringLiteral("StaticText5"),
                            QStringLiteral("Скорость (очков в минуту)"), QPoint(40, 160));
    StaticText6 = MakeLineValue(this, QStringLiteral("StaticText6"), QPoint(192, 160));
    StaticText7 =
        MakeLabel(this, QStringLiteral("StaticText7"), QStringLiteral("Ник"), QPoint(48, 288));
    StaticText8 = MakeLineValue(this, QStringLiteral("StaticText8"), QPoint(80, 288));
    StaticText9 =
        MakeLabel(this, QStringLiteral("StaticText9"), QStringLiteral("ФИО"), QPoint(40, 320));
    StaticText10 = MakeLineValue(this, QStringLiteral("StaticText10"), QPoint(80, 320));
}

void TForm8::ShowUserStatistics(const QString& nick)
{
    if (nick.isEmpty()) {
        dialogs().message(kLoginNeededMessage);
        return;
    }
    ProfileView view;
    if (!classFolder_.access->readProfile(nick, view)) {
        dialogs().message(QStringLiteral("Error 11 :") + nick);
        return;
    }
    CopyView(view, statisticsRecord_);
    const UserProfile& profile = statisticsRecord_;
    StaticText4->setText(DurationText(profile.totalTime));
    StaticText6->setText(SpeedText(profile.totalPoints, profile.totalTime));
    StaticText8->setText(nick);
    StaticText10->setText(profile.fullName);
    StaticText2->setText(QString::number(profile.totalPoints));
    show();
    raise();
    activateWindow();
}
