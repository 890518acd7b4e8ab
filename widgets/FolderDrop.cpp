#include "widgets/FolderDrop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

void FolderDrop::enable(QWidget *window, Opener open, std::function<bool()> canTake) {
    new FolderDrop(window, std::move(open), std::move(canTake));
}

FolderDrop::FolderDrop(QWidget *window, Opener open, std::function<bool()> canTake)
    : QObject(window), m_open(std::move(open)), m_canTake(std::move(canTake)) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString FolderDrop::folderOf(const QMimeData *mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return QFileInfo(path).isDir() ? path : QString();
}

bool FolderDrop::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString folder = folderOf(drop->mimeData());
        if (folder.isEmpty() || (m_canTake && !m_canTake())) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::LinkAction);
        if (event->type() == QEvent::Drop && !m_open(folder)) {
            drop->ignore();
            return true;
        }
        drop->accept();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
