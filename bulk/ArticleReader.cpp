#include "bulk/ArticleReader.h"

#include "controllib/RegularFile.h"
#include "core/FolderListing.h"

#include <QDir>
#include <QFile>

#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

ArticleReader::ArticleReader(const QString &folder) : m_folder(folder) {
#ifdef Q_OS_UNIX
    // The folder is opened once; each article is then found by its name's bytes within it.
    m_folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

ArticleReader::~ArticleReader() {
#ifdef Q_OS_UNIX
    if (m_folderFd >= 0)
        ::close(m_folderFd);
#endif
}

bool ArticleReader::read(const QByteArray &name, QByteArray &bytes, QString *error) const {
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
    try {
        return file.readAll(bytes, error);
    } catch (const std::bad_alloc &) {
        if (error)
            *error = QStringLiteral("There is not enough memory to read it");
        return false;
    }
}
