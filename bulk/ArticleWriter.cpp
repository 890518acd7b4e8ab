#include "bulk/ArticleWriter.h"

#include "controllib/QkFile.h"
#include "core/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <climits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace {

std::atomic_uint g_counter = 0;

void setError(QString *error, const QString &reason) {
    if (error)
        *error = reason;
}

} // namespace

bool ArticleWriter::isTemporaryName(QByteArrayView name, qint64 *pid) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\..+\\.cw([0-9]{1,10})-[0-9]{1,10}\\.tmp$"),
        QRegularExpression::DotMatchesEverythingOption);
    // Latin-1 keeps every byte of a name as one character, so the pattern sees the name whole.
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(name));
    if (!match.hasMatch())
        return false;
    if (pid)
        *pid = match.captured(1).toLongLong();
    return true;
}

#ifdef Q_OS_UNIX

namespace {

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes the pieces in full; false with errno set when the system refuses.
bool writeAll(int fd, std::initializer_list<QByteArrayView> pieces) {
    iovec vectors[8];
    int count = 0;
    for (QByteArrayView piece : pieces) {
        if (!piece.isEmpty() && count < 8)
            vectors[count++] = {const_cast<char *>(piece.data()), size_t(piece.size())};
    }
    iovec *next = vectors;
    while (count > 0) {
        const ssize_t done = ::writev(fd, next, count);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        size_t left = size_t(done);
        while (count > 0 && left >= next->iov_len) {
            left -= next->iov_len;
            ++next;
            --count;
        }
        if (count > 0) {
            next->iov_base = static_cast<char *>(next->iov_base) + left;
            next->iov_len -= left;
        }
    }
    return true;
}

// Closes fd; false with errno set when closing reported a failure of the write.
bool closeChecked(int fd) {
    return ::close(fd) == 0 || errno == EINTR;
}

} // namespace

ArticleWriter::ArticleWriter(const QString &folder)
    : m_folder(folder), m_pid(QByteArray::number(qint64(::getpid()))) {
    m_folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

ArticleWriter::~ArticleWriter() {
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

bool ArticleWriter::write(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                          QString *error) {
    if (m_folderFd < 0) {
        setError(error, reason(ENOENT));
        return false;
    }
#ifdef O_TMPFILE
    if (m_unnamedFiles) {
        const int fd = ::openat(m_folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0) {
            // The file system has no unnamed files: name them from now on.
            m_unnamedFiles = false;
            return writeNamed(name, pieces, error);
        }
        if (!writeAll(fd, pieces)) {
            const int failure = errno;
            ::close(fd);
            setError(error, reason(failure));
            return false;
        }
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        const bool linked = ::linkat(AT_FDCWD, self.constData(), m_folderFd, name.constData(),
                                     AT_SYMLINK_FOLLOW) == 0;
        const int failure = linked ? 0 : errno;
        if (!closeChecked(fd)) {
            const int closeFailure = errno;
            if (linked)
                ::unlinkat(m_folderFd, name.constData(), 0);
            setError(error, reason(closeFailure));
            return false;
        }
        if (linked)
            return true;
        // The name is taken (an output of an earlier run, most likely): a link cannot replace it,
        // so this file and the ones after it go through a temporary name and a rename.
        m_unnamedFiles = false;
        if (failure != EEXIST && failure != ENOENT && failure != EPERM && failure != EXDEV) {
            setError(error, reason(failure));
            return false;
        }
    }
#endif
    return writeNamed(name, pieces, error);
}

bool ArticleWriter::writeNamed(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                               QString *error) {
    // A new file of our own beside the target; it takes the usual permissions (umask applies).
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp =
            '.' + name.left(100) + ".cw" + m_pid + '-' + QByteArray::number(g_counter++) + ".tmp";
        fd = ::openat(m_folderFd, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        setError(error, reason(errno));
        return false;
    }
    bool ok = writeAll(fd, pieces);
    int failure = ok ? 0 : errno;
    if (!closeChecked(fd) && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && ::renameat(m_folderFd, temp.constData(), m_folderFd, name.constData()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        ::unlinkat(m_folderFd, temp.constData(), 0);
        setError(error, reason(failure));
    }
    return ok;
}

int ArticleWriter::removeStaleTemporaries() {
    if (m_folderFd < 0)
        return 0;
    const int fd = ::openat(m_folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return 0;
    }
    int removed = 0;
    const qint64 self = ::getpid();
    while (const dirent *entry = ::readdir(dir)) {
        qint64 pid = 0;
        if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN)
            continue;
        if (!isTemporaryName(entry->d_name, &pid))
            continue;
        // A process that still runs may be writing it; this process runs one run at a time.
        const bool running =
            pid != self && pid <= INT_MAX && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH);
        if (!running && ::unlinkat(m_folderFd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

#else

ArticleWriter::ArticleWriter(const QString &folder) : m_folder(folder), m_unnamedFiles(false) {}

ArticleWriter::~ArticleWriter() = default;

bool ArticleWriter::write(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                          QString *error) {
    return writeNamed(name, pieces, error);
}

bool ArticleWriter::writeNamed(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                               QString *error) {
    QByteArray bytes;
    for (QByteArrayView piece : pieces)
        bytes += piece;
    return QkFile::writeBytes(bytes, QDir(m_folder).filePath(FolderListing::shownName(name)),
                              error);
}

int ArticleWriter::removeStaleTemporaries() {
    return 0;
}

#endif
