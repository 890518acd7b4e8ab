#include "widgets/FolderList.h"

#include "widgets/FocusRing.h"

#include "core/FolderListing.h"
#include "core/LocalPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>

namespace {

constexpr int PathRole = Qt::UserRole;

} // namespace

FolderList::FolderList(QWidget *parent) : QListWidget(parent) {
    FocusRing::attach(this);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, &FolderList::openItem);
    // Opened once the click is over: the list is rebuilt when a folder opens.
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const QByteArray folder = item->data(PathRole).toByteArray();
        QMetaObject::invokeMethod(
            this, [this, folder] { open(folder); }, Qt::QueuedConnection);
    });
    m_path = QDir::currentPath();
    m_local = QFile::encodeName(m_path);
    refresh();
}

bool FolderList::setPath(const QString &folder) {
    return !folder.isEmpty() &&
           open(LocalPath::local(QDir::cleanPath(QFileInfo(folder).absoluteFilePath())));
}

bool FolderList::open(const QByteArray &local) {
    const QString openable = LocalPath::openable(local);
    const QFileInfo info(openable);
    if (openable.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(openable).isReadable())
        return false;
    const bool differs = local != m_local;
    m_local = local;
    m_path = openable;
    refresh();
    if (differs)
        emit changed(m_path);
    return true;
}

void FolderList::refresh() {
    clear();
    const QIcon opened = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QString indentStep = QStringLiteral("   ");

    // The chain of folders from the root down to the current one.
    QByteArrayList chain{m_local};
    for (QByteArray up = m_local; up.size() > 1;) {
        const qsizetype slash = up.lastIndexOf('/');
        up = slash <= 0 ? QByteArray("/") : up.left(slash);
        chain.prepend(up);
    }

    int level = 0;
    for (const QByteArray &folder : std::as_const(chain)) {
        const QString name =
            level == 0 ? QDir::toNativeSeparators(QFile::decodeName(folder))
                       : FolderListing::shownName(folder.mid(folder.lastIndexOf('/') + 1));
        auto *item = new QListWidgetItem(opened, indentStep.repeated(level) + name, this);
        item->setData(PathRole, folder);
        item->setData(Qt::AccessibleTextRole, name);
        ++level;
    }

    const QByteArray parent = m_local.endsWith('/') ? m_local : m_local + '/';
    for (const QByteArray &local : FolderListing::folderNames(m_path)) {
        const QString name = FolderListing::shownName(local);
        auto *item = new QListWidgetItem(closed, indentStep.repeated(level) + name, this);
        item->setData(PathRole, parent + local);
        item->setData(Qt::AccessibleTextRole, name);
    }

    // The opened folder: the last of the chain.
    m_openedRow = int(chain.size()) - 1;
    QListWidgetItem *inUse = item(m_openedRow);
    QFont bold = font();
    bold.setBold(true);
    inUse->setFont(bold);
    inUse->setData(Qt::AccessibleDescriptionRole, tr("folder in use"));
    const QString shown = QDir::toNativeSeparators(QFile::decodeName(m_local));
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
        open(item->data(PathRole).toByteArray());
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
