#pragma once
// Every event handler body runs inside RunHandler: an error that travels ends
// the handler and is shown by the general error report; the program goes on.

#include <functional>

// True when the body ran to its end.
bool RunHandler(const std::function<void()>& body);
