#include "app/FileList.h"

#include "app/FolderListing.h"

#include <QDir>

FileList::FileList(QWidget *parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    m_path = QDir::currentPath();
}

void FileList::setPattern(const QString &pattern) {
    list(m_path, pattern);
}

void FileList::setPath(const QString &folder) {
    m_path = folder;
    refresh();
}

void FileList::list(const QString &folder, const QString &pattern) {
    m_path = folder;
    m_patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    refresh();
}

void FileList::refresh() {
    m_names = FolderListing::localNames(m_path, m_patterns);
    clear();
    for (const QByteArray &name : std::as_const(m_names))
        addItem(FolderListing::shownName(name));
}

QStringList FileList::fileNames() const {
    QStringList names;
    names.reserve(m_names.size());
    for (const QByteArray &name : m_names)
        names.append(FolderListing::shownName(name));
    return names;
}
