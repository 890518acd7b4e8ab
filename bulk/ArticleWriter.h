#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <initializer_list>

// Writes the output articles of one run into one folder, each so that it is either all there or
// not there at all. The bytes go to a file of our own that has no name yet where the system allows
// it (it is linked under its name once written), otherwise to a hidden temporary name beside the
// target that is then renamed over it. A write that fails leaves the old file as it was and no
// temporary file behind; a run that is cut off leaves at worst a hidden temporary file, which the
// next run in that folder removes.
//
// Unlike QSaveFile it does not force each file to disk: over thousands of articles that costs
// twenty times the work itself.
class ArticleWriter {
public:
    explicit ArticleWriter(const QString &folder);
    ~ArticleWriter();
    ArticleWriter(const ArticleWriter &) = delete;
    ArticleWriter &operator=(const ArticleWriter &) = delete;

    // Writes the pieces, one after the other, as the whole content of the file name (the name's
    // bytes as the article folder lists it). Returns false with a reason when it cannot.
    bool write(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
               QString *error = nullptr);

    // Removes the temporary files that runs cut off before left in the folder: hidden files named
    // exactly as this class names them, by processes that no longer run. Returns how many.
    int removeStaleTemporaries();
    // Whether name is one this class gives its temporary files: ".NAME.cwPID-N.tmp".
    static bool isTemporaryName(QByteArrayView name, qint64 *pid = nullptr);

private:
    bool writeNamed(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                    QString *error);

    QString m_folder;
    int m_folderFd = -1;
    // Files without a name are used until a name is found taken (linking cannot replace a file) or
    // the system turns them down; from then on every file is written under a temporary name.
    bool m_unnamedFiles = true;
    QByteArray m_pid;
};
