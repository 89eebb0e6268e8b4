#pragma once
// The program's twelve windows, created in their order and wired together.

#include "accounts/form4_login.h"
#include "accounts/form6_new_user.h"
#include "accounts/form7_password.h"
#include "admin/form5_settings.h"
#include "admin/form9_service.h"
#include "app/form1_main.h"
#include "app/form2_sound.h"
#include "app/form3_about.h"
#include "exercise/exercise_controller.h"
#include "records/form10_summary.h"
#include "records/form11_records.h"
#include "records/form12_range.h"
#include "records/form8_statistics.h"

#include <memory>

class ProgramWindows {
public:
    // The main window comes first: its creation settles the folders and the
    // configuration that the later windows read.
    explicit ProgramWindows(std::unique_ptr<SoundPlayer> player);

    TForm1 form1;
    TForm2 form2;
    TForm3 form3;
    TForm4 form4;
    TForm5 form5;
    TForm6 form6;
    TForm7 form7;
    TForm8 form8;
    TForm9 form9;
    TForm10 form10;
    TForm11 form11;
    TForm12 form12;
    ExerciseController exercise;
};
