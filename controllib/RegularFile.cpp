#include "controllib/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

void setError(QString *error, const QString &reason) {
    if (error)
        *error = reason;
}

} // namespace

#ifdef Q_OS_UNIX

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a file of this kind is not read, or an empty text for a regular file.
QString refusal(mode_t mode) {
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return QStringLiteral("It is a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("It is a pipe, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("It is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("It is a socket, not a file");
    return QStringLiteral("It is not a regular file");
}

} // namespace

struct RegularFile::Handle {
    int fd = -1;
    qint64 size = 0;
    unsigned permissions = 0666;
    ~Handle() {
        if (fd >= 0)
            ::close(fd);
    }
};

RegularFile::RegularFile() = default;
RegularFile::~RegularFile() = default;

bool RegularFile::open(const QString &path, QString *error) {
    return openIn(AT_FDCWD, QFile::encodeName(path), error);
}

bool RegularFile::openIn(int folderFd, const QByteArray &name, QString *error) {
    m_handle.reset();
    // stat, not lstat: a symbolic link is judged by what it points at. Nothing else is opened, as
    // opening a device may already do something.
    struct stat info {};
    if (::fstatat(folderFd, name.constData(), &info, 0) != 0) {
        setError(error, systemReason(errno));
        return false;
    }
    if (const QString why = refusal(info.st_mode); !why.isEmpty()) {
        setError(error, why);
        return false;
    }
    // Without O_NONBLOCK, a pipe put in the file's place since the check would wait for a writer.
    auto handle = std::make_unique<Handle>();
    do
        handle->fd =
            ::openat(folderFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (handle->fd < 0 && errno == EINTR);
    if (handle->fd < 0) {
        setError(error, systemReason(errno));
        return false;
    }
    if (::fstat(handle->fd, &info) != 0) {
        setError(error, systemReason(errno));
        return false;
    }
    if (const QString why = refusal(info.st_mode); !why.isEmpty()) {
        setError(error, why);
        return false;
    }
    // A regular file it is, and O_NONBLOCK changes nothing for reading one.
    handle->size = qint64(info.st_size);
    handle->permissions = unsigned(info.st_mode & 07777);
    m_handle = std::move(handle);
    return true;
}

qint64 RegularFile::read(char *data, qint64 size, QString *error) {
    if (!m_handle) {
        setError(error, QStringLiteral("The file is not open"));
        return -1;
    }
    for (;;) {
        const ssize_t got = ::read(m_handle->fd, data, size_t(size));
        if (got >= 0)
            return qint64(got);
        if (errno != EINTR) {
            setError(error, systemReason(errno));
            return -1;
        }
    }
}

#else

// Elsewhere Qt's own file access: only what QFileInfo takes for a file (after following links) is
// opened.
struct RegularFile::Handle {
    QFile file;
    qint64 size = 0;
    unsigned permissions = 0666;
};

RegularFile::RegularFile() = default;
RegularFile::~RegularFile() = default;

bool RegularFile::open(const QString &path, QString *error) {
    m_handle.reset();
    const QFileInfo info(path);
    if (info.isDir()) {
        setError(error, QStringLiteral("It is a folder, not a file"));
        return false;
    }
    if (info.exists() && !info.isFile()) {
        setError(error, QStringLiteral("It is not a regular file"));
        return false;
    }
    auto handle = std::make_unique<Handle>();
    handle->file.setFileName(path);
    if (!handle->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        setError(error, handle->file.errorString());
        return false;
    }
    handle->size = handle->file.size();
    m_handle = std::move(handle);
    return true;
}

qint64 RegularFile::read(char *data, qint64 size, QString *error) {
    if (!m_handle) {
        setError(error, QStringLiteral("The file is not open"));
        return -1;
    }
    const qint64 got = m_handle->file.read(data, size);
    if (got < 0)
        setError(error, m_handle->file.errorString());
    return got;
}

#endif

unsigned RegularFile::permissions() const {
    return m_handle ? m_handle->permissions : 0666;
}

qint64 RegularFile::sizeHint() const {
    return m_handle ? m_handle->size : 0;
}

bool RegularFile::readAll(QByteArray &bytes, QString *error) {
    // One byte more than the size: a read that then comes back short, after the whole size, is
    // the end of the file.
    const qint64 expected = sizeHint();
    QByteArray data(qsizetype(qMax<qint64>(expected + 1, 4096)), Qt::Uninitialized);
    qsizetype used = 0;
    for (;;) {
        if (used == data.size())
            data.resize(data.size() * 2);
        const qsizetype wanted = data.size() - used;
        const qint64 got = read(data.data() + used, wanted, error);
        if (got < 0)
            return false;
        used += qsizetype(got);
        if (got == 0 || (got < wanted && used >= expected))
            break;
    }
    data.truncate(used);
    bytes = std::move(data);
    return true;
}
