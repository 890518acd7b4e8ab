#include "app/FileList.h"

#include "app/Catalogue.h"

#include <QDir>

FileList::FileList(QWidget *parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    m_path = QDir::currentPath();
}

void FileList::setPattern(const QString &pattern) {
    m_patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    refresh();
}

void FileList::setPath(const QString &folder) {
    m_path = folder;
    refresh();
}

void FileList::refresh() {
    m_names = FolderListing::files(m_path, m_patterns);
    clear();
    addItems(m_names);
}
