#pragma once
// ADM's password for the export through the class folder's keeper: typed on
// the terminal without echo, or one line of standard input for a script.
// Never taken from the command line, where every account could read it.

#include <QIODevice>
#include <QString>

#include <optional>

// The first line read from `fd` (without its line end), of at most
// `maxBytes`; a longer line is read whole and cut there. None when `fd`
// ends before any byte or cannot be read.
std::optional<QByteArray> ReadPasswordLine(int fd, int maxBytes = 4096);

// On a terminal: the prompt "Пароль ADM / ADM password: " on `err`, the line
// typed with echo off (but for its line end), the echo restored after.
// Otherwise one line of standard input, with no prompt. UTF-8; none when
// standard input ends first.
std::optional<QString> ReadAdminPassword(QIODevice& err);
