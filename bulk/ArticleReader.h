#pragma once

#include <QByteArray>
#include <QString>

// Reads the articles of one folder, each whole, by the name's bytes as the folder lists it.
//
// Only regular files are articles: a folder, a pipe, a device or a socket is refused with a
// reason, and nothing is ever opened in a way that can block. A link is followed only when what it
// leads to lies inside the article folder: a link out of it (to /etc/shadow, /proc/self/environ)
// is never read. An article that cannot be read, for want of memory included, is a failure with a
// reason, never a crash.
class ArticleReader {
public:
    explicit ArticleReader(const QString &folder);
    ~ArticleReader();
    ArticleReader(const ArticleReader &) = delete;
    ArticleReader &operator=(const ArticleReader &) = delete;

    // The whole content of the article, read once, and its permission bits. Returns false with a
    // reason when it cannot.
    bool read(const QByteArray &name, QByteArray &bytes, QString *error = nullptr,
              unsigned *permissions = nullptr) const;

private:
    bool leadsOutside(const QByteArray &name, QString *error) const;

    QString m_folder;
    QByteArray m_realFolder; // the folder's path with every link resolved, "/" at its end
    int m_folderFd = -1;
};
