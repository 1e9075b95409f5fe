#include "SentenceText.h"

namespace {
// Characters that end a block when inserted into a text document.
bool breaksBlock(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || c == QChar::ParagraphSeparator || u == 0xfdd0 || u == 0xfdd1;
}
} // namespace

QString asOneParagraph(QString text)
{
    while (!text.isEmpty() && breaksBlock(text.back()))
        text.chop(1);
    for (QChar& c : text) {
        if (breaksBlock(c))
            c = QLatin1Char(' ');
    }
    return text;
}
