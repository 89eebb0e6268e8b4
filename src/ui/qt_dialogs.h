#pragma once
// The dialogs seam served by Qt's message, input and folder boxes. The boxes'
// standard buttons read "OK" and "Отмена" with or without a translation of
// Qt; the folder dialog is Qt's own and takes Qt's translation.

#include "platform/dialogs.h"

// The one instance; the program installs it with setStandardDialogs.
Dialogs& QtDialogs();
