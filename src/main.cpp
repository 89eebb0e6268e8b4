// Program entry: creates the twelve windows in their order and runs the
// message loop until the main window is closed.

#include "accounts/form4_login.h"
#include "accounts/form6_new_user.h"
#include "accounts/form7_password.h"
#include "admin/form5_settings.h"
#include "admin/form9_service.h"
#include "app/form1_main.h"
#include "app/form2_sound.h"
#include "app/form3_about.h"
#include "exercise/exercise_controller.h"
#include "platform/sound_player.h"
#include "records/form10_summary.h"
#include "records/form11_records.h"
#include "records/form12_range.h"
#include "records/form8_statistics.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvo"));

    // Standard buttons read "ОК" and "Отмена".
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    TForm1 form1;
    TForm2 form2(std::make_unique<AlsaSoundPlayer>());
    TForm3 form3;
    TForm4 form4(form1);
    TForm5 form5;
    TForm6 form6(form4);
    TForm7 form7;
    TForm8 form8;
    TForm9 form9(form8);
    TForm10 form10;
    TForm11 form11;
    TForm12 form12;
    form9.setSummaryWindow(&form10);

    ExerciseController exercise(form1.exerciseControls(), form11, form2.MediaPlayer1());
    MainWindowLinks links;
    links.about = &form3;
    links.login = &form4;
    links.settings = &form5;
    links.newUser = &form6;
    links.password = &form7;
    links.statistics = &form8;
    links.service = &form9;
    links.records = &form11;
    links.range = &form12;
    links.exercise = &exercise;
    form1.setLinks(links);
    QObject::connect(&form12, &TForm12::rangeApplied, &form1, &TForm1::SetRangeLabel);

    form1.show();
    return app.exec();
}
