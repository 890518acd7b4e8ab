#include "bulk/ArticleReader.h"

#include "app/FolderListing.h"

#include <QDir>
#include <QFile>

#include <new>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QString kNotAFile = QStringLiteral("It is not a regular file");
const QString kNoMemory = QStringLiteral("There is not enough memory to read it");

void setError(QString *error, const QString &reason) {
    if (error)
        *error = reason;
}

} // namespace

#ifdef Q_OS_UNIX

ArticleReader::ArticleReader(const QString &folder) : m_folder(folder) {
    m_folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

ArticleReader::~ArticleReader() {
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

bool ArticleReader::read(const QByteArray &name, QByteArray &bytes, QString *error) const {
    if (m_folderFd < 0) {
        setError(error, QString::fromLocal8Bit(std::strerror(ENOENT)));
        return false;
    }
    // O_NONBLOCK: opening a pipe must not wait for a writer. It changes nothing for a regular file.
    const int fd =
        ::openat(m_folderFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        setError(error, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat info {};
    QString failure;
    QByteArray data;
    if (::fstat(fd, &info) != 0) {
        failure = QString::fromLocal8Bit(std::strerror(errno));
    } else if (S_ISDIR(info.st_mode)) {
        failure = QStringLiteral("It is a folder, not a file");
    } else if (!S_ISREG(info.st_mode)) {
        failure = kNotAFile;
    } else {
        try {
            // One read for the size fstat gave and one byte more. A read that comes back short
            // after the whole size is the end of the file; a file that grew is read on to its end.
            data.resize(qsizetype(info.st_size) + 1);
            qsizetype used = 0;
            for (;;) {
                if (used == data.size())
                    data.resize(data.size() * 2);
                const qsizetype wanted = data.size() - used;
                const ssize_t got = ::read(fd, data.data() + used, size_t(wanted));
                if (got < 0) {
                    if (errno == EINTR)
                        continue;
                    failure = QString::fromLocal8Bit(std::strerror(errno));
                    break;
                }
                used += got;
                if (got == 0 || (got < wanted && used >= qsizetype(info.st_size)))
                    break;
            }
            data.truncate(used);
        } catch (const std::bad_alloc &) {
            data = QByteArray();
            failure = kNoMemory;
        }
    }
    ::close(fd);
    if (!failure.isEmpty()) {
        setError(error, failure);
        return false;
    }
    bytes = std::move(data);
    return true;
}

#else

ArticleReader::ArticleReader(const QString &folder) : m_folder(folder) {}

ArticleReader::~ArticleReader() = default;

bool ArticleReader::read(const QByteArray &name, QByteArray &bytes, QString *error) const {
    QFile file(QDir(m_folder).filePath(FolderListing::shownName(name)));
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.isSequential()) {
        setError(error, kNotAFile);
        return false;
    }
    try {
        QByteArray data = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            setError(error, file.errorString());
            return false;
        }
        bytes = std::move(data);
    } catch (const std::bad_alloc &) {
        setError(error, kNoMemory);
        return false;
    }
    return true;
}

#endif
