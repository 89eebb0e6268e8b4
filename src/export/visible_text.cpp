#include "export/visible_text.h"

namespace {

bool Hidden(QChar c, Tabs tabs)
{
    const char16_t code = c.unicode();
    if (code == u'\t')
        return tabs == Tabs::Replace;
    return code < 0x20 || (code >= 0x7f && code <= 0x9f) || (code >= 0x202a && code <= 0x202e) ||
           (code >= 0x2066 && code <= 0x2069);
}

} // namespace

QString VisibleText(const QString& text, Tabs tabs)
{
    QString shown = text;
    for (QChar& c : shown)
        if (Hidden(c, tabs))
            c = QChar(QChar::ReplacementCharacter);
    return shown;
}
