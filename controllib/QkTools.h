#pragma once

#include <QString>
#include <QStringList>

class RandomSource;

// List and folder helpers of the control library. Random choices come from the RandomSource given
// at construction, so that runs can be repeated in tests.
class QkTools {
public:
    explicit QkTools(RandomSource &random) : m_random(random) {}

    // The index of the entry that shuffling a list of count entries would bring to the front:
    // every entry is as likely as any other, and it takes one draw however long the list is
    // (a full shuffle would take count - 1). 0 for an empty list, without a draw.
    qsizetype PickIndex(qsizetype count);
    // Appends one entry per piece of text between separators, in order. Every piece is kept as it
    // stands: empty pieces (two separators in a row, one at either end) and blanks included. An
    // empty text is one empty piece. The list is not emptied first. emptyText is accepted for
    // callers that pass it and changes nothing.
    static void SplitToList(const QString &text, const QString &separator, QStringList &list,
                            const QString &emptyText = QString());
    // A whole number drawn uniformly from 1 to max (max at least 1).
    int RandomNumber(int max);
    // Whether path names an existing folder. The second argument is accepted for callers that
    // pass it and changes nothing.
    static bool FolderExists(const QString &path, bool checkFull = true);

private:
    RandomSource &m_random;
};
