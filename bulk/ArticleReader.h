#pragma once

#include <QByteArray>
#include <QString>

// Reads the articles of one folder, each whole, by the name's bytes as the folder lists it.
//
// Only regular files are articles: a link is followed, but a folder, a pipe, a device or a socket
// is refused with a reason, and nothing is ever opened in a way that can block. An article that
// cannot be read, for want of memory included, is a failure with a reason, never a crash.
class ArticleReader {
public:
    explicit ArticleReader(const QString &folder);
    ~ArticleReader();
    ArticleReader(const ArticleReader &) = delete;
    ArticleReader &operator=(const ArticleReader &) = delete;

    // The whole content of the article, read once. Returns false with a reason when it cannot.
    bool read(const QByteArray &name, QByteArray &bytes, QString *error = nullptr) const;

private:
    QString m_folder;
    int m_folderFd = -1;
};
