#include "core/TitleCase.h"

QString TitleCase(const QString &text) {
    // Lower character by character (simple case mapping), so the result keeps the text's length.
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            const char32_t lower =
                QChar::toLower(QChar::surrogateToUcs4(ch, text.at(i + 1).unicode()));
            result += QChar(QChar::highSurrogate(lower));
            result += QChar(QChar::lowSurrogate(lower));
            ++i;
        } else {
            result += QChar(char16_t(QChar::toLower(char32_t(ch))));
        }
    }
    bool inWord = false;
    for (QChar &ch : result) {
        if (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) {
            if (!inWord) {
                ch = QChar(ch.unicode() - 'a' + 'A');
                inWord = true;
            }
        } else {
            inWord = false;
        }
    }
    return result;
}
