#include "core/LocalPath.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace LocalPath {

QString openable(const QByteArray &local) {
    const QString text = QFile::decodeName(local);
    if (QFile::encodeName(text) == local)
        return text;
#ifdef Q_OS_LINUX
    // One descriptor per folder, kept open: each visit to the same folder reuses it, unless the
    // name has come to stand for another folder since.
    static QMutex mutex;
    static QHash<QByteArray, int> opened;
    const QMutexLocker lock(&mutex);
    struct stat now {};
    if (::stat(local.constData(), &now) != 0 || !S_ISDIR(now.st_mode))
        return QString();
    if (const auto found = opened.constFind(local); found != opened.cend()) {
        struct stat held {};
        if (::fstat(*found, &held) == 0 && held.st_dev == now.st_dev && held.st_ino == now.st_ino)
            return QStringLiteral("/proc/self/fd/%1").arg(*found);
    }
    const int fd = ::open(local.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return QString();
    opened.insert(local, fd);
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
#else
    return QString();
#endif
}

QByteArray local(const QString &path) {
#ifdef Q_OS_LINUX
    static const QRegularExpression held(QStringLiteral("^(/proc/self/fd/\\d+)(/.*)?$"));
    if (const QRegularExpressionMatch match = held.match(path); match.hasMatch()) {
        char target[4096];
        const ssize_t size =
            ::readlink(QFile::encodeName(match.captured(1)).constData(), target, sizeof target);
        if (size > 0 && size < ssize_t(sizeof target) && target[0] == '/')
            return QByteArray(target, size) + QFile::encodeName(match.captured(2));
    }
#endif
    return QFile::encodeName(path);
}

QString shown(const QString &path) {
    return QFile::decodeName(local(path));
}

} // namespace LocalPath
