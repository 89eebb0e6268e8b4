#include "platform/handler_guard.h"

#include "platform/dialogs.h"
#include "platform/errors.h"

#include <exception>

bool RunHandler(const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const ZelvoError& e) {
        dialogs().errorReport(e.text());
    } catch (const std::exception& e) {
        dialogs().errorReport(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
