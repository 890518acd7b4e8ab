#include "site/SafeWrite.h"

#include <QtGlobal>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace SafeWrite {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool fail(QString *error, const QString &reason) {
    if (error)
        *error = reason;
    return false;
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(Fd)
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const QByteArray &bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray temporaryName(const QByteArray &name) {
    static std::atomic<int> counter{0};
    return "." + name + ".cw" + QByteArray::number(qint64(::getpid())) + "-" +
           QByteArray::number(++counter) + ".tmp";
}

// Writes bytes under a fresh temporary name with the given mode and owner; returns the name.
bool writeTemporary(int folderFd, const QByteArray &name, const QByteArray &bytes, mode_t mode,
                    const struct stat *owner, QByteArray &temporary, QString *error) {
    temporary = temporaryName(name);
    Fd fd(::openat(folderFd, temporary.constData(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.get() < 0)
        return fail(error, systemReason(errno));
    bool ok = writeAll(fd.get(), bytes);
    int why = errno;
    if (ok && owner && ::fchown(fd.get(), owner->st_uid, owner->st_gid) != 0) {
        // Not allowed to give the file to its owner: it stays ours, with the old permissions.
    }
    if (ok && ::fchmod(fd.get(), mode & 07777) != 0) {
        ok = false;
        why = errno;
    }
    if (::close(fd.release()) != 0 && ok) {
        ok = false;
        why = errno;
    }
    if (!ok) {
        ::unlinkat(folderFd, temporary.constData(), 0);
        return fail(error, systemReason(why));
    }
    return true;
}

} // namespace

QString refusal(const struct stat &info) {
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("it is a folder");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("it is not a regular file");
    if (info.st_nlink > 1)
        return QStringLiteral("it has other hard links");
    return QString();
}

bool read(int folderFd, const QByteArray &name, QByteArray &bytes, struct stat *info,
          QString *error) {
    struct stat seen {};
    if (::fstatat(folderFd, name.constData(), &seen, AT_SYMLINK_NOFOLLOW) != 0)
        return fail(error, systemReason(errno));
    if (const QString why = refusal(seen); !why.isEmpty())
        return fail(error, why);
    Fd fd(::openat(folderFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return fail(error, systemReason(errno));
    if (::fstat(fd.get(), &seen) != 0)
        return fail(error, systemReason(errno));
    if (const QString why = refusal(seen); !why.isEmpty())
        return fail(error, why);
    try {
        bytes.resize(qsizetype(seen.st_size));
        qsizetype done = 0;
        for (;;) {
            if (done == bytes.size())
                bytes.resize(bytes.size() + 65536);
            const ssize_t n = ::read(fd.get(), bytes.data() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(error, systemReason(errno));
            if (n == 0)
                break;
            done += n;
        }
        bytes.resize(done);
    } catch (const std::bad_alloc &) {
        return fail(error, QStringLiteral("it is too large for the memory left"));
    }
    if (info)
        *info = seen;
    return true;
}

bool replace(int folderFd, const QByteArray &name, const QByteArray &bytes,
             const struct stat &before, QString *error) {
    QByteArray temporary;
    if (!writeTemporary(folderFd, name, bytes, before.st_mode, &before, temporary, error))
        return false;
    struct stat now {};
    const bool same = ::fstatat(folderFd, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
                      refusal(now).isEmpty() && now.st_ino == before.st_ino &&
                      now.st_dev == before.st_dev;
    if (!same) {
        ::unlinkat(folderFd, temporary.constData(), 0);
        return fail(error, QStringLiteral("it was changed or replaced while it was edited"));
    }
    if (::renameat(folderFd, temporary.constData(), folderFd, name.constData()) != 0) {
        const int why = errno;
        ::unlinkat(folderFd, temporary.constData(), 0);
        return fail(error, systemReason(why));
    }
    return true;
}

bool write(int folderFd, const QByteArray &name, const QByteArray &bytes, QString *error) {
    struct stat before {};
    if (::fstatat(folderFd, name.constData(), &before, AT_SYMLINK_NOFOLLOW) == 0) {
        if (const QString why = refusal(before); !why.isEmpty())
            return fail(error, why);
        return replace(folderFd, name, bytes, before, error);
    }
    if (errno != ENOENT)
        return fail(error, systemReason(errno));
    QByteArray temporary;
    if (!writeTemporary(folderFd, name, bytes, 0644, nullptr, temporary, error))
        return false;
    // renameat2 with RENAME_NOREPLACE would be stricter; a link made meanwhile is replaced, not
    // followed, so nothing outside the folder is written either way.
    if (::renameat(folderFd, temporary.constData(), folderFd, name.constData()) != 0) {
        const int why = errno;
        ::unlinkat(folderFd, temporary.constData(), 0);
        return fail(error, systemReason(why));
    }
    return true;
}

} // namespace SafeWrite
