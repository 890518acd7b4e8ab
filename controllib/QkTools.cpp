#include "controllib/QkTools.h"

#include "controllib/RandomSource.h"

#include <QFileInfo>

void QkTools::ShuffleList(QStringList &list) {
    for (qsizetype i = list.size() - 1; i > 0; --i) {
        const auto j = qsizetype(m_random.below(quint32(i + 1)));
        if (i != j)
            list.swapItemsAt(i, j);
    }
}

void QkTools::SplitToList(const QString &text, const QString &separator, QStringList &list,
                          const QString &emptyText) {
    Q_UNUSED(emptyText);
    if (separator.isEmpty()) {
        list.append(text);
        return;
    }
    list += text.split(separator, Qt::KeepEmptyParts);
}

int QkTools::RandomNumber(int max) {
    if (max < 1)
        return 1;
    return int(m_random.below(quint32(max))) + 1;
}

bool QkTools::FolderExists(const QString &path, bool checkFull) {
    Q_UNUSED(checkFull);
    return !path.isEmpty() && QFileInfo(path).isDir();
}
