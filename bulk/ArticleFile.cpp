#include "bulk/ArticleFile.h"

#include "controllib/QkFile.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ArticleFile {

#ifdef Q_OS_UNIX

namespace {

std::atomic_uint g_counter = 0;

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, const char *data, qsizetype size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size_t(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
}

} // namespace

bool read(QByteArray &bytes, const QString &path, QString *error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = reason(errno);
        return false;
    }
    struct stat info {};
    int failure = 0;
    QByteArray data;
    if (::fstat(fd, &info) != 0) {
        failure = errno;
    } else if (S_ISDIR(info.st_mode)) {
        failure = EISDIR;
    } else {
        // The size is a hint: a file that grows or shrinks meanwhile is still read to its end.
        data.resize(qsizetype(info.st_size) + 1);
        qsizetype used = 0;
        for (;;) {
            if (used == data.size())
                data.resize(data.size() * 2 + 4096);
            const ssize_t got = ::read(fd, data.data() + used, size_t(data.size() - used));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                failure = errno;
                break;
            }
            if (got == 0)
                break;
            used += got;
        }
        data.truncate(used);
    }
    ::close(fd);
    if (failure) {
        if (error)
            *error = reason(failure);
        return false;
    }
    bytes = std::move(data);
    return true;
}

bool write(const QByteArray &bytes, const QString &path, QString *error) {
    const QByteArray target = QFile::encodeName(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? target.left(slash + 1) : QByteArray();
    const QByteArray name = target.mid(slash + 1);

    // A new file of our own beside the target; it takes the usual permissions (umask applies).
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + '.' + name.left(100) + ".cw" + QByteArray::number(::getpid()) + '-' +
               QByteArray::number(g_counter++) + ".tmp";
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        if (error)
            *error = reason(errno);
        return false;
    }
    bool ok = writeAll(fd, bytes.constData(), bytes.size());
    int failure = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && ::rename(temp.constData(), target.constData()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        ::unlink(temp.constData());
        if (error)
            *error = reason(failure);
    }
    return ok;
}

#else

bool read(QByteArray &bytes, const QString &path, QString *error) {
    return QkFile::readBytes(bytes, path, error);
}

bool write(const QByteArray &bytes, const QString &path, QString *error) {
    return QkFile::writeBytes(bytes, path, error);
}

#endif

} // namespace ArticleFile
