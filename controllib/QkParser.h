#pragma once

#include <QString>

// Text replacement of the control library.
class QkParser {
public:
    // The text with every occurrence of find replaced, scanning left to right without
    // re-reading what was put in. The comparison is exact (compare mode 0, letter case counts).
    // An empty find leaves the text as it is.
    static QString ReplaceText(const QString &text, const QString &find, const QString &replacement,
                               int compare = 0);
};
