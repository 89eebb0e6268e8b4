#include "accounts/ui/key_press.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace {

class KeyPressFilter : public QObject {
  public:
    KeyPressFilter(std::function<void(QChar)> handler, QObject* parent)
        : QObject(parent), handler_(std::move(handler))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter) {
            handler_(QChar(kEnterChar));
            return true;
        }
        if (!keyEvent->text().isEmpty())
            handler_(keyEvent->text().at(0));
        return false;
    }

  private:
    std::function<void(QChar)> handler_;
};

} // namespace

void WatchKeyPress(QWidget* control, std::function<void(QChar)> handler)
{
    control->installEventFilter(new KeyPressFilter(std::move(handler), control));
}
