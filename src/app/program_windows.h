#pragma once
// The program's twelve windows. The main window is made first, with the
// program; every other window is made when it is first needed, through its
// accessor, and wired to the others then. Each window is handed the parts of
// the program's state it acts on.

#include "app/form1_main.h"

#include <memory>

class ExerciseController;
class ProgramState;
class SoundPlayer;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TForm12;

class ProgramWindows {
  public:
    // The windows act on `state`, which outlives them; `player` goes to the
    // sound window when that is made.
    ProgramWindows(ProgramState& state, std::unique_ptr<SoundPlayer> player);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TForm1& form1() { return *form1_; }
    TForm2& form2();
    TForm3& form3();
    TForm4& form4();
    TForm5& form5();
    TForm6& form6();
    TForm7& form7();
    TForm8& form8();
    TForm9& form9();
    TForm10& form10();
    TForm11& form11();
    TForm12& form12();
    ExerciseController& exercise() { return *exercise_; }

    // Whether window `number` (2 to 12) has been made yet.
    bool isMade(int number) const;

  private:
    ProgramState& state_;
    std::unique_ptr<SoundPlayer> player_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm6> form6_;
    std::unique_ptr<TForm7> form7_;
    std::unique_ptr<TForm8> form8_;
    std::unique_ptr<TForm9> form9_;
    std::unique_ptr<TForm10> form10_;
    std::unique_ptr<TForm11> form11_;
    std::unique_ptr<TForm12> form12_;
    std::unique_ptr<ExerciseController> exercise_;
};
