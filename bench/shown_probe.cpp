#include "shown_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

long long WallClockNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// "VmHWM:   1234 kB" -> 1234; 0 when the line is missing.
long long StatusKb(const QByteArray& status, const char* field)
{
    const int at = status.indexOf(field);
    if (at < 0)
        return 0;
    const int end = status.indexOf('\n', at);
    return status.mid(at + qstrlen(field), end - at - qstrlen(field))
        .trimmed()
        .split(' ')
        .value(0)
        .toLongLong();
}

// The first paint of any widget starts the report; the paint pass that
// follows it runs to its end before the zero-time timer fires.
class ShownProbe : public QObject {
  public:
    explicit ShownProbe(int idleMs) : QObject(QCoreApplication::instance()), idleMs_(idleMs) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen_ && event->type() == QEvent::Paint) {
            seen_ = true;
            QTimer::singleShot(0, this, [this] { reportShown(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void reportShown()
    {
        std::printf("shown_ns %lld\n", WallClockNs());
        std::fflush(stdout);
        QTimer::singleShot(idleMs_, this, [] {
            QFile file(QStringLiteral("/proc/self/status"));
            const QByteArray status =
                file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            std::printf("vmhwm_kb %lld vmrss_kb %lld\n", StatusKb(status, "VmHWM:"),
                        StatusKb(status, "VmRSS:"));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }

    int idleMs_;
    bool seen_ = false;
};

} // namespace

void WatchFirstShowForProbe()
{
    bool ok = false;
    const int idleMs = qEnvironmentVariableIntValue("ZELVO_SHOWN_PROBE", &ok);
    if (!ok || !QCoreApplication::instance())
        return;
    QCoreApplication::instance()->installEventFilter(new ShownProbe(idleMs));
}
