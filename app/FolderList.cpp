#include "app/FolderList.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int PathRole = Qt::UserRole;

} // namespace

FolderList::FolderList(QWidget *parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, &FolderList::openItem);
    m_path = QDir::currentPath();
    refresh();
}

bool FolderList::setPath(const QString &folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(folder).isReadable())
        return false;
    const QString cleaned = QDir::cleanPath(info.absoluteFilePath());
    const bool differs = cleaned != m_path;
    m_path = cleaned;
    refresh();
    if (differs)
        emit changed(m_path);
    return true;
}

void FolderList::refresh() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QString indentStep = QStringLiteral("   ");

    // The chain of folders from the root down to the current one.
    QStringList chain;
    QDir dir(m_path);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());

    int level = 0;
    QListWidgetItem *current = nullptr;
    for (const QString &folder : std::as_const(chain)) {
        const QString name = level == 0 ? QDir::toNativeSeparators(folder) : QDir(folder).dirName();
        auto *item = new QListWidgetItem(open, indentStep.repeated(level) + name, this);
        item->setData(PathRole, folder);
        current = item;
        ++level;
    }

    // An iterator, not QDir::entryList: a folder of many thousand articles would otherwise cost
    // the memory of a full listing just to find its few subfolders.
    QStringList subfolders;
    for (QDirIterator it(m_path, QDir::Dirs | QDir::NoDotAndDotDot); it.hasNext();)
        subfolders.append(it.nextFileInfo().fileName());
    std::sort(subfolders.begin(), subfolders.end(), [](const QString &a, const QString &b) {
        const int byName = a.compare(b, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a < b;
    });
    for (const QString &name : std::as_const(subfolders)) {
        auto *item = new QListWidgetItem(closed, indentStep.repeated(level) + name, this);
        item->setData(PathRole, QDir(m_path).filePath(name));
    }
    if (current) {
        setCurrentItem(current);
        scrollToItem(current);
    }
}

void FolderList::openItem(QListWidgetItem *item) {
    if (item)
        setPath(item->data(PathRole).toString());
}
