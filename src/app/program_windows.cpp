#include "app/program_windows.h"

#include "accounts/ui/form4_login.h"
#include "accounts/ui/form6_new_user.h"
#include "accounts/ui/form7_password.h"
#include "admin/ui/form5_settings.h"
#include "admin/ui/form9_service.h"
#include "app/form2_sound.h"
#include "app/form3_about.h"
#include "config/app_config.h"
#include "exercise/exercise.h"
#include "exercise/program_state.h"
#include "exercise/ui/exercise_controller.h"
#include "records/ui/form10_summary.h"
#include "records/ui/form11_records.h"
#include "records/ui/form12_range.h"
#include "records/ui/form8_statistics.h"

namespace {

// What the account windows act on.
AccountParts AccountPartsOf(ProgramState& state)
{
    return {state.user, state.loginNicks.nicks, state.classFolder, state.config};
}

} // namespace

ProgramWindows::ProgramWindows(ProgramState& state, std::unique_ptr<SoundPlayer> player)
    : state_(state), player_(std::move(player)), form1_(std::make_unique<TForm1>(*this))
{
    exercise_ = std::make_unique<ExerciseController>(
        form1_->exerciseControls(), state.exercise, state.user, state.config,
        [this](const ResultRecord& record) { form11().ShowResultInTable(record); },
        [this]() -> SoundPlayer& { return form2().MediaPlayer1(); });
}

// The windows go in the reverse order of their members: the exercise before
// the main window whose controls it drives.
ProgramWindows::~ProgramWindows() = default;

TForm2& ProgramWindows::form2()
{
    if (!form2_)
        form2_ = std::make_unique<TForm2>(std::move(player_));
    return *form2_;
}

TForm3& ProgramWindows::form3()
{
    if (!form3_)
        form3_ = std::make_unique<TForm3>();
    return *form3_;
}

TForm4& ProgramWindows::form4()
{
    if (!form4_)
        form4_ = std::make_unique<TForm4>(*form1_, AccountPartsOf(state_));
    return *form4_;
}

TForm5& ProgramWindows::form5()
{
    if (!form5_)
        form5_ = std::make_unique<TForm5>(state_.config, state_.classFolder);
    return *form5_;
}

TForm6& ProgramWindows::form6()
{
    if (!form6_) {
        form6_ = std::make_unique<TForm6>(AccountPartsOf(state_));
        // A login window made later lists the new nick from the login nicks.
        form6_->nickCreated = [this](const QString& nick) {
            if (form4_)
                form4_->appendNick(nick);
        };
    }
    return *form6_;
}

TForm7& ProgramWindows::form7()
{
    if (!form7_)
        form7_ = std::make_unique<TForm7>(AccountPartsOf(state_));
    return *form7_;
}

TForm8& ProgramWindows::form8()
{
    if (!form8_)
        form8_ = std::make_unique<TForm8>(state_.classFolder);
    return *form8_;
}

TForm9& ProgramWindows::form9()
{
    if (!form9_) {
        form9_ =
            std::make_unique<TForm9>(state_.classFolder, state_.range, state_.adminRecord.record);
        form9_->showStatistics = [this](const QString& nick) { form8().ShowUserStatistics(nick); };
        form9_->showSummary = [this] {
            TForm10& summary = form10();
            summary.LoadSummaryTable();
            summary.show();
            summary.raise();
        };
    }
    return *form9_;
}

TForm10& ProgramWindows::form10()
{
    if (!form10_)
        form10_ = std::make_unique<TForm10>(state_.classFolder, state_.adminRecord.record);
    return *form10_;
}

TForm11& ProgramWindows::form11()
{
    if (!form11_)
        form11_ = std::make_unique<TForm11>(state_.range, state_.classFolder);
    return *form11_;
}

TForm12& ProgramWindows::form12()
{
    if (!form12_) {
        form12_ = std::make_unique<TForm12>(state_.range);
        QObject::connect(form12_.get(), &TForm12::rangeApplied, form1_.get(),
                         &TForm1::SetRangeLabel);
    }
    return *form12_;
}

bool ProgramWindows::isMade(int number) const
{
    const bool made[] = {true,          true,          bool(form2_), bool(form3_), bool(form4_),
                         bool(form5_),  bool(form6_),  bool(form7_), bool(form8_), bool(form9_),
                         bool(form10_), bool(form11_), bool(form12_)};
    return number >= 1 && number <= 12 && made[number];
}
