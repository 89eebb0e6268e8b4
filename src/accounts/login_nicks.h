#pragma once
// The nicks the login window offers: "ADM", the profiles found at start-up,
// then the nicks created since (a part of the ProgramState). The list is
// kept apart from the window so that the window can be made when first shown.

#include <QStringList>

struct LoginNicks {
    QStringList nicks;
};
QStringList& loginNicks();
// Start-up step: "ADM" and the profiles of the user folder, in the order the
// folder lists them.
void ListLoginNicks(const QStringList& profiles);
