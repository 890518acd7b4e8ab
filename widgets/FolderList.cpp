#include "widgets/FolderList.h"

#include "widgets/FocusRing.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int PathRole = Qt::UserRole;

} // namespace

FolderList::FolderList(QWidget *parent) : QListWidget(parent) {
    FocusRing::attach(this);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, &FolderList::openItem);
    // Opened once the click is over: the list is rebuilt when a folder opens.
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const QString folder = item->data(PathRole).toString();
        QMetaObject::invokeMethod(
            this, [this, folder] { setPath(folder); }, Qt::QueuedConnection);
    });
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
    for (const QString &folder : std::as_const(chain)) {
        const QString name = level == 0 ? QDir::toNativeSeparators(folder) : QDir(folder).dirName();
        auto *item = new QListWidgetItem(open, indentStep.repeated(level) + name, this);
        item->setData(PathRole, folder);
        item->setData(Qt::AccessibleTextRole, name);
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
        item->setData(Qt::AccessibleTextRole, name);
    }

    // The opened folder: the last of the chain.
    m_openedRow = int(chain.size()) - 1;
    QListWidgetItem *opened = item(m_openedRow);
    QFont bold = font();
    bold.setBold(true);
    opened->setFont(bold);
    opened->setData(Qt::AccessibleDescriptionRole, tr("folder in use"));
    const QString shown = QDir::toNativeSeparators(m_path);
    setToolTip(shown);
    setAccessibleDescription(shown);
    highlightOpened();
}

void FolderList::highlightOpened() {
    if (QListWidgetItem *opened = item(m_openedRow)) {
        setCurrentItem(opened);
        scrollToItem(opened);
    }
}

void FolderList::openItem(QListWidgetItem *item) {
    if (item)
        setPath(item->data(PathRole).toString());
}

void FolderList::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        openItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderList::mouseDoubleClickEvent(QMouseEvent *event) {
    // The first click of a double click opened the folder already.
    event->accept();
}

void FolderList::focusOutEvent(QFocusEvent *event) {
    if (event->reason() != Qt::PopupFocusReason)
        highlightOpened();
    QListWidget::focusOutEvent(event);
}
