#include "controllib/FolderWriter.h"

#include "controllib/QkFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPair>
#include <QRegularExpression>

#include <atomic>
#include <climits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

bool FolderWriter::isTemporaryName(QByteArrayView name, qint64 *pid) {
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

using Identity = QPair<quint64, quint64>;

Identity identityOf(const struct stat &info) {
    return {quint64(info.st_dev), quint64(info.st_ino)};
}

} // namespace

struct FolderWriter::Written {
    // The files written so far, by device and inode, and the names they were written under.
    QHash<Identity, QByteArray> names;
};

FolderWriter::FolderWriter(const QString &folder, const QString &noun)
    : m_folder(folder), m_noun(noun), m_pid(QByteArray::number(qint64(::getpid()))),
      m_written(std::make_unique<Written>()) {
    m_folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

FolderWriter::~FolderWriter() {
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

FolderWriter::Target FolderWriter::inspect(const QByteArray &name, QString *why) const {
    struct stat info {};
    if (::fstatat(m_folderFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return Target::Absent;
        setError(why, reason(errno));
        return Target::Refused;
    }
    const mode_t mode = info.st_mode;
    QString kind;
    if (S_ISLNK(mode))
        kind = QStringLiteral("a link");
    else if (S_ISDIR(mode))
        kind = QStringLiteral("a folder");
    else if (S_ISFIFO(mode))
        kind = QStringLiteral("a pipe");
    else if (S_ISCHR(mode) || S_ISBLK(mode))
        kind = QStringLiteral("a device");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("a socket");
    else if (!S_ISREG(mode))
        kind = QStringLiteral("no regular file");
    if (!kind.isEmpty()) {
        setError(why, QStringLiteral("It is %1, not a %2").arg(kind, m_noun));
        return Target::Refused;
    }
    const auto earlier = m_written->names.constFind(identityOf(info));
    if (earlier != m_written->names.constEnd() && *earlier != name) {
        setError(why, QStringLiteral("Its name and that of %1, written before it, name one file "
                                     "here: this folder does not tell letter case apart")
                          .arg(QFile::decodeName(*earlier)));
        return Target::Refused;
    }
    return Target::Regular;
}

bool FolderWriter::finish(int fd, QString *error) {
    // Some file systems report a lost write only when synced. One that cannot sync is no failure.
    if (m_sync && ::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) {
        setError(error, reason(errno));
        return false;
    }
    return true;
}

bool FolderWriter::write(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                         QString *error, unsigned sourceMode) {
    if (m_folderFd < 0) {
        setError(error, reason(ENOENT));
        return false;
    }
    const unsigned mode = 0666 & sourceMode;
#ifdef O_TMPFILE
    if (m_unnamedFiles) {
        const int fd = ::openat(m_folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd < 0) {
            // The file system has no unnamed files: name them from now on.
            m_unnamedFiles = false;
            return writeNamed(name, pieces, error, mode);
        }
        struct stat info {};
        if (!writeAll(fd, pieces) || !finish(fd, error) || ::fstat(fd, &info) != 0) {
            const int failure = errno;
            ::close(fd);
            if (failure != 0)
                setError(error, reason(failure));
            return false;
        }
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        // A link never follows a link at its new name: a name that is taken, by a link too, fails.
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
        if (linked) {
            m_written->names.insert(identityOf(info), name);
            return true;
        }
        // The name is taken (an output of an earlier run, most likely): a link cannot replace it,
        // so this file and the ones after it go through a temporary name and a rename.
        m_unnamedFiles = false;
        if (failure != EEXIST && failure != ENOENT && failure != EPERM && failure != EXDEV) {
            setError(error, reason(failure));
            return false;
        }
    }
#endif
    return writeNamed(name, pieces, error, mode);
}

bool FolderWriter::writeNamed(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                              QString *error, unsigned mode) {
    if (inspect(name, error) == Target::Refused)
        return false;
    // A new file of our own beside the target, locked while it is written so that no other run
    // takes it for one left over, whatever its process number means there.
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp =
            '.' + name.left(100) + ".cw" + m_pid + '-' + QByteArray::number(g_counter++) + ".tmp";
        fd = ::openat(m_folderFd, temp.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        setError(error, reason(errno));
        return false;
    }
    ::flock(fd, LOCK_EX | LOCK_NB);
    struct stat info {};
    errno = 0;
    bool ok = writeAll(fd, pieces) && finish(fd, error) && ::fstat(fd, &info) == 0;
    int failure = ok ? 0 : errno;
    if (ok && ::renameat(m_folderFd, temp.constData(), m_folderFd, name.constData()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!closeChecked(fd) && ok) {
        ok = false;
        failure = errno;
        ::unlinkat(m_folderFd, name.constData(), 0);
    }
    if (!ok) {
        ::unlinkat(m_folderFd, temp.constData(), 0);
        if (failure != 0)
            setError(error, reason(failure));
        return false;
    }
    m_written->names.insert(identityOf(info), name);
    return true;
}

int FolderWriter::removeStaleTemporaries() {
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
    const time_t aMinuteAgo = ::time(nullptr) - 60;
    while (const dirent *entry = ::readdir(dir)) {
        qint64 pid = 0;
        if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN)
            continue;
        if (!isTemporaryName(entry->d_name, &pid))
            continue;
        // A process that still runs may be writing it; this process runs one run at a time.
        const bool running =
            pid != self && pid <= INT_MAX && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH);
        if (running)
            continue;
        // A run in another process namespace has numbers of its own: its lock and the file's
        // age tell that it still works.
        const int file = ::openat(m_folderFd, entry->d_name,
                                  O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        if (file < 0)
            continue;
        struct stat info {};
        const bool stale = ::fstat(file, &info) == 0 && S_ISREG(info.st_mode) &&
                           info.st_mtime < aMinuteAgo && ::flock(file, LOCK_EX | LOCK_NB) == 0;
        if (stale && ::unlinkat(m_folderFd, entry->d_name, 0) == 0)
            ++removed;
        ::close(file);
    }
    ::closedir(dir);
    return removed;
}

bool FolderWriter::sameFile(const QString &a, const QString &b) {
    struct stat first {
    }, second{};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           identityOf(first) == identityOf(second);
}

#else

struct FolderWriter::Written {};

FolderWriter::FolderWriter(const QString &folder, const QString &noun)
    : m_folder(folder), m_noun(noun), m_unnamedFiles(false) {}

FolderWriter::~FolderWriter() = default;

FolderWriter::Target FolderWriter::inspect(const QByteArray &name, QString *why) const {
    const QFileInfo info(QDir(m_folder).filePath(QFile::decodeName(name)));
    if (!info.exists() && !info.isSymLink())
        return Target::Absent;
    if (info.isSymLink() || !info.isFile()) {
        setError(why, QStringLiteral("It is not a regular %1").arg(m_noun));
        return Target::Refused;
    }
    return Target::Regular;
}

bool FolderWriter::write(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                         QString *error, unsigned) {
    if (inspect(name, error) == Target::Refused)
        return false;
    QByteArray bytes;
    for (QByteArrayView piece : pieces)
        bytes += piece;
    return QkFile::writeBytes(bytes, QDir(m_folder).filePath(QFile::decodeName(name)), error);
}

int FolderWriter::removeStaleTemporaries() {
    return 0;
}

bool FolderWriter::sameFile(const QString &a, const QString &b) {
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty() && first == QFileInfo(b).canonicalFilePath();
}

#endif
