#pragma once
// Stored texts as the export shows them: characters that would act rather
// than show (control characters, which move the cursor, end lines or ring,
// and the bidirectional embeddings, overrides and isolates, which reorder
// what follows them) are replaced by U+FFFD, the replacement character.

#include <QString>

enum class Tabs { Keep, Replace };

// `text` with every C0 control character (a tab only when `tabs` says
// Replace), DEL, every C1 control character, U+202A-U+202E and U+2066-U+2069
// replaced by U+FFFD.
QString VisibleText(const QString& text, Tabs tabs);
