#include "app/program_windows.h"

ProgramWindows::ProgramWindows(std::unique_ptr<SoundPlayer> player)
    : form2(std::move(player)), form4(form1), form6(form4), form9(form8),
      exercise(form1.exerciseControls(), form11, form2.MediaPlayer1())
{
    form9.setSummaryWindow(&form10);
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
}
