#include "ui/spoken_notice.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>

namespace {

// The notice on the accessibility bus: a notification named by its text.
class SpokenNoticeAccessible : public QAccessibleWidget {
  public:
    explicit SpokenNoticeAccessible(SpokenNotice* notice)
        : QAccessibleWidget(notice, QAccessible::Notification)
    {
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return static_cast<SpokenNotice*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

// The notice as a notification; a window of its own that is neither the main
// window nor a dialog (a plain widget shown as a window: the login, the new
// user, the statistics) as a dialog, so that the screen reader takes it for
// the active window and speaks what takes the focus in it.
QAccessibleInterface* AccessibleFactory(const QString&, QObject* object)
{
    if (auto* notice = dynamic_cast<SpokenNotice*>(object))
        return new SpokenNoticeAccessible(notice);
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->windowType() == Qt::Window && !qobject_cast<QMainWindow*>(widget) &&
        !qobject_cast<QDialog*>(widget))
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    return nullptr;
}

void InstallAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(AccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

// The line edit whose focus went to the bus last; its caret event may come
// before Qt's own focus event.
QObject* g_focusSent = nullptr;
// Where the updates go instead of the bus (a test's recorder), or none.
SpokenNoticeDelivery g_delivery = nullptr;

void ForwardUpdate(QAccessibleEvent* event);

// Puts the focus of a line edit on the bus before the first caret event that
// its focus-in causes, and leaves out Qt's own focus event that follows: two
// focus events of one field would be taken as one repeated, and skipped.
void FocusFirst(QAccessibleEvent* event)
{
    QObject* object = event->object();
    auto* edit = qobject_cast<QLineEdit*>(object);
    const bool field = edit && !qobject_cast<QComboBox*>(edit->parentWidget());
    if (event->type() == QAccessible::Focus) {
        if (field && g_focusSent == object)
            return;
        g_focusSent = field ? object : nullptr;
    } else if (event->type() == QAccessible::TextCaretMoved && field && edit->hasFocus() &&
               g_focusSent != object) {
        g_focusSent = object;
        QAccessibleEvent focus(edit, QAccessible::Focus);
        ForwardUpdate(&focus);
    }
    ForwardUpdate(event);
}

// The default way of an update to the bus, with this handler out of the way.
void ForwardUpdate(QAccessibleEvent* event)
{
    if (g_delivery) {
        g_delivery(event);
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(SendFocusFirst);
}

} // namespace

void SendFocusFirst(QAccessibleEvent* event) { FocusFirst(event); }

void SpeakFocusedFieldsFirst(SpokenNoticeDelivery delivery)
{
    g_delivery = delivery;
    g_focusSent = nullptr;
    InstallAccessibleFactory();
    QAccessible::installUpdateHandler(SendFocusFirst);
}

bool AccessibleIdsOn()
{
    return qEnvironmentVariable("ZELVO_ACCESSIBLE_IDS") == QLatin1String("1");
}

SpokenNotice::SpokenNotice(QWidget* parent) : QWidget(parent)
{
    InstallAccessibleFactory();
    setObjectName(QStringLiteral("SpokenNotice"));
    setGeometry(0, 0, 1, 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void SpokenNotice::say(const QString& text)
{
    text_ = text;
    hide();
    lower();
    show();
}
