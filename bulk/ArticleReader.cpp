#include "bulk/ArticleReader.h"

#include "controllib/RegularFile.h"
#include "core/FolderListing.h"

#include <QDir>
#include <QFile>

#include <new>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

ArticleReader::ArticleReader(const QString &folder) : m_folder(folder) {
#ifdef Q_OS_UNIX
    // The folder is opened once; each article is then found by its name's bytes within it.
    const QByteArray path = QFile::encodeName(folder);
    m_folderFd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (char *real = ::realpath(path.constData(), nullptr)) {
        m_realFolder = QByteArray(real);
        std::free(real);
        if (!m_realFolder.endsWith('/'))
            m_realFolder += '/';
    }
#endif
}

ArticleReader::~ArticleReader() {
#ifdef Q_OS_UNIX
    if (m_folderFd >= 0)
        ::close(m_folderFd);
#endif
}

bool ArticleReader::leadsOutside(const QByteArray &name, QString *error) const {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (m_folderFd < 0 ||
        ::fstatat(m_folderFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISLNK(info.st_mode))
        return false;
    const QByteArray path = QFile::encodeName(m_folder) + '/' + name;
    char *real = ::realpath(path.constData(), nullptr);
    if (!real) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return true;
    }
    const bool inside = !m_realFolder.isEmpty() && QByteArray(real).startsWith(m_realFolder);
    std::free(real);
    if (!inside && error)
        *error = QStringLiteral("It is a link to a file outside the article folder");
    return !inside;
#else
    Q_UNUSED(name);
    Q_UNUSED(error);
    return false;
#endif
}

bool ArticleReader::read(const QByteArray &name, QByteArray &bytes, QString *error,
                         unsigned *permissions) const {
    if (leadsOutside(name, error))
        return false;
    RegularFile file;
#ifdef Q_OS_UNIX
    const bool opened = m_folderFd >= 0
                            ? file.openIn(m_folderFd, name, error)
                            : file.open(QDir(m_folder).filePath(QFile::decodeName(name)), error);
#else
    const bool opened = file.open(QDir(m_folder).filePath(FolderListing::shownName(name)), error);
#endif
    if (!opened)
        return false;
    if (permissions)
        *permissions = file.permissions();
    try {
        return file.readAll(bytes, error);
    } catch (const std::bad_alloc &) {
        if (error)
            *error = QStringLiteral("There is not enough memory to read it");
        return false;
    }
}
