#include "accounts/login_nicks.h"

#include "accounts/current_user.h"
#include "platform/process_state.h"

QStringList& loginNicks() { return StatePart<LoginNicks>().nicks; }

void ListLoginNicks(const QStringList& profiles)
{
    QStringList& nicks = loginNicks();
    nicks = QStringList{kAdminNick};
    nicks += profiles;
}
