// How quickly the program serves input, and what it costs, while an example
// waits for its answer, against the same figures of the program at rest.
//
// The program's real windows run on the main thread (its event loop, and the
// exercise's own loop inside the start command); the benchmarks run on a
// second thread and reach the windows only through posted events, the way a
// keyboard or an accessibility client does.
//
//   BM_EchoAtRest / BM_EchoWhileWaiting: time from a digit key event posted to
//     the answer field Edit1 to the field painting that digit (manual time;
//     each iteration the median of a few such echoes).
//   BM_CpuAtRest / BM_CpuWhileWaiting: process CPU over a wait of
//     ZELVO_WAIT_SECONDS (10 unless set), as counter cpu_percent (percent of
//     one core); the manual time is the length of that wait.

#include "accounts/current_user.h"
#include "accounts/ui/form4_login.h"
#include "accounts/user_profile.h"
#include "app/program_windows.h"
#include "config/app_config.h"
#include "exercise/exercise_state.h"
#include "exercise/program_state.h"
#include "exercise/ui/exercise_controller.h"
#include "platform/dialogs.h"
#include "platform/sound_player.h"
#include "records/ui/form11_records.h"
#include "util/files.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const QString kReady = QStringLiteral("Приготовились!   Удачи!");

// Answers every dialog at once: the target of an exercise is 1, so one right
// answer ends it.
class QuietDialogs : public Dialogs {
  public:
    void message(const QString&) override {}
    bool question(const QString&, QuestionIcon) override { return true; }
    QString inputBox(const QString&, const QString&, const QString&) override
    {
        return QStringLiteral("1");
    }
    bool pauseBox(QWidget*, const QString&, const QString&) override { return true; }
    bool chooseFolder(QWidget*, QString&) override { return false; }
    void errorReport(const QString& text) override
    {
        std::fprintf(stderr, "error report: %s\n", qPrintable(text));
    }
    void endProgram() override { std::fprintf(stderr, "the program asked to end\n"); }
};

class SilentPlayer : public SoundPlayer {
  public:
    void play(const QString&) override {}
};

// Notes the moment Edit1 paints the text it waits for.
class EchoWatch : public QObject {
  public:
    void expect(const QString& text)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        expected_ = text;
        seen_ = false;
    }

    // False when the echo did not come within `limit`.
    bool wait(Clock::time_point& at, std::chrono::seconds limit)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!shown_.wait_for(lock, limit, [this] { return seen_; }))
            return false;
        at = at_;
        return true;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QString text = static_cast<QLineEdit*>(watched)->text();
            std::lock_guard<std::mutex> lock(mutex_);
            if (!seen_ && !expected_.isEmpty() && text == expected_) {
                at_ = Clock::now();
                seen_ = true;
                shown_.notify_all();
            }
        }
        return false;
    }

  private:
    std::mutex mutex_;
    std::condition_variable shown_;
    QString expected_;
    bool seen_ = false;
    Clock::time_point at_;
};

// The running program, owned by the main thread.
struct Program {
    QTemporaryDir dir;
    QuietDialogs quietDialogs;
    std::unique_ptr<ProgramState> state;
    std::unique_ptr<ProgramWindows> windows;
    EchoWatch echo;
    std::atomic<bool> exerciseRunning{false};
};

Program* program = nullptr;

// Runs `f` on the main thread, inside whatever loop it is in, and waits for it.
void OnGui(const std::function<void()>& f)
{
    QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection);
}

// Main thread: the windows of a program whose class folder holds one pupil
// with an empty password, logged in, the main window shown.
void StartProgram(Program& p)
{
    const QString root = p.dir.path() + QStringLiteral("/");
    QDir(root).mkpath(QStringLiteral("program"));
    QDir(root).mkpath(QStringLiteral("users"));
    QFile store(root + QStringLiteral("machine.reg"));
    if (store.open(QIODevice::WriteOnly))
        store.write(QStringLiteral("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                                   "\"PathUser\"=\"%1users\"\n\"NoSound\"=dword:00000001\n")
                        .arg(root)
                        .toUtf8());
    store.close();
    qputenv("ZELVO_MACHINE_STORE", QFile::encodeName(store.fileName()));
    SetProgramFolder(root + QStringLiteral("program/"));
    setDialogs(&p.quietDialogs);
    // Key events posted from the benchmark thread name the keyboard device:
    // it must exist before, owned by this thread.
    QInputDevice::primaryKeyboard();

    p.state = std::make_unique<ProgramState>();
    StartUp();
    p.windows = std::make_unique<ProgramWindows>(*p.state, std::make_unique<SilentPlayer>());
    TForm1& form1 = p.windows->form1();
    form1.show();
    WriteProfile(QStringLiteral("pupil"), UserProfile());
    p.windows->form4().ComboBox1->setEditText(QStringLiteral("pupil"));
    p.windows->form4().Button1->click();
    p.windows->form4().hide();
    form1.Edit1->installEventFilter(&p.echo);
}

// The program at rest: no exercise, the answer field enabled and focused as
// it is while an example waits.
void EnterRest()
{
    if (program->exerciseRunning) {
        // One right answer reaches the target 1 and ends the exercise.
        OnGui([] {
            TForm1& form1 = program->windows->form1();
            form1.Edit1->setText(QString::number(ExpectedValue(exerciseState())));
            form1.Button11->click();
        });
        while (program->exerciseRunning)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    OnGui([] {
        program->windows->form11().hide();
        program->windows->form1().Edit1->setEnabled(true);
        program->windows->form1().Edit1->setFocus();
    });
}

// An example waiting for its answer in the exercise's loop.
void EnterWaiting()
{
    if (program->exerciseRunning)
        return;
    program->exerciseRunning = true;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            program->windows->form1().N7->trigger();
            program->exerciseRunning = false;
        },
        Qt::QueuedConnection);
    bool waiting = false;
    while (!waiting) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        OnGui([&waiting] {
            const TForm1& form1 = program->windows->form1();
            waiting = form1.Edit1->isEnabled() && form1.StaticText1->text() != QLatin1String("?");
        });
    }
}

// Types one more digit into the field and returns the seconds from posting
// the key to the field painting it; a negative value when it never did. The
// field is emptied now and then, between two echoes.
double EchoOnce(QLineEdit* edit, QString& shownText)
{
    if (shownText.size() >= 20) {
        OnGui([edit] { edit->clear(); });
        shownText.clear();
    }
    shownText += QLatin1Char('5');
    program->echo.expect(shownText);
    const Clock::time_point posted = Clock::now();
    QCoreApplication::postEvent(
        edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5")));
    Clock::time_point shown;
    if (!program->echo.wait(shown, std::chrono::seconds(10)))
        return -1;
    return std::chrono::duration<double>(shown - posted).count();
}

// Each iteration is the median of a few echoes, so that a moment in which the
// machine's other work held the thread back does not stand for the program.
void MeasureEcho(benchmark::State& state)
{
    constexpr int kEchoesPerIteration = 5;
    QLineEdit* edit = program->windows->form1().Edit1;
    OnGui([edit] { edit->clear(); });
    QString shownText;
    for (auto _ : state) {
        std::array<double, kEchoesPerIteration> echoes{};
        for (double& echo : echoes)
            echo = EchoOnce(edit, shownText);
        std::sort(echoes.begin(), echoes.end());
        if (echoes.front() < 0) {
            state.SkipWithError("the typed digit was never shown");
            break;
        }
        state.SetIterationTime(echoes[kEchoesPerIteration / 2]);
    }
    OnGui([edit] { edit->clear(); });
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One wait is one iteration; its length exceeds the benchmark's minimum time,
// so one iteration is all that runs unless ZELVO_WAIT_SECONDS is very short.
void MeasureCpu(benchmark::State& state)
{
    const char* env = std::getenv("ZELVO_WAIT_SECONDS");
    const double seconds = env && std::atof(env) > 0 ? std::atof(env) : 10.0;
    double cpuTotal = 0;
    double wallTotal = 0;
    for (auto _ : state) {
        const double cpuBefore = CpuSeconds();
        const Clock::time_point before = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const double wall = std::chrono::duration<double>(Clock::now() - before).count();
        cpuTotal += CpuSeconds() - cpuBefore;
        wallTotal += wall;
        state.SetIterationTime(wall);
    }
    if (wallTotal > 0)
        state.counters["cpu_percent"] = cpuTotal / wallTotal * 100.0;
}

void BM_EchoAtRest(benchmark::State& state)
{
    EnterRest();
    MeasureEcho(state);
}
BENCHMARK(BM_EchoAtRest)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_EchoWhileWaiting(benchmark::State& state)
{
    EnterWaiting();
    MeasureEcho(state);
}
BENCHMARK(BM_EchoWhileWaiting)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_CpuAtRest(benchmark::State& state)
{
    EnterRest();
    MeasureCpu(state);
}
BENCHMARK(BM_CpuAtRest)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CpuWhileWaiting(benchmark::State& state)
{
    EnterWaiting();
    MeasureCpu(state);
}
BENCHMARK(BM_CpuWhileWaiting)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    Program p;
    program = &p;
    StartProgram(p);
    if (currentUser().nick != QLatin1String("pupil")) {
        std::fprintf(stderr, "the pupil could not log in\n");
        return 1;
    }

    std::thread runner([] {
        benchmark::RunSpecifiedBenchmarks();
        EnterRest();
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    runner.join();
    benchmark::Shutdown();
    setDialogs(nullptr);
    p.windows.reset();
    program = nullptr;
    return 0;
}
