#pragma once
// Folder texts. "/" is the separator; a folder text ends with exactly one "/"
// and a file name is formed by concatenating folder and name.

#include <QString>

// The text without any trailing "/" ("/" and "//" give the empty text).
QString StripTrailingSeparators(const QString& text);
// Empty stays empty; otherwise the text with exactly one trailing "/".
QString WithTrailingSeparator(const QString& text);
