#include "controllib/QkTools.h"

#include "controllib/RandomSource.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdint>

qsizetype QkTools::PickIndex(qsizetype count) {
    if (count < 1)
        return 0;
    return qsizetype(m_random.below(quint32(std::min<qsizetype>(count, UINT32_MAX))));
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
