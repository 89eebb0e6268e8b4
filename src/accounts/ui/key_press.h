#pragma once
// Hands the characters typed into a control to the window's KeyPress handler.
// Return and Enter arrive as character 13 and go no further.

#include <QChar>
#include <functional>

class QWidget;

void WatchKeyPress(QWidget* control, std::function<void(QChar)> handler);

constexpr char16_t kEnterChar = 13;
