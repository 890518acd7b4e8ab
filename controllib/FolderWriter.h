#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <initializer_list>
#include <memory>

// Writes files into one folder, and never anything else: the one place both jobs save a file.
//
// - Never through a link, never over anything that is not a regular file: a name taken by a
//   symbolic link (whatever it leads to), a folder, a pipe, a device or a socket is refused with a
//   reason ("It is a link, not a page") and left as it is.
// - Each file is either all there or not there at all. The bytes go to a file of our own that has
//   no name yet where the system allows it (it is linked under its name once written), otherwise
//   to a hidden temporary name beside the target (".NAME.cwPID-N.tmp", locked while it is
//   written) that is then renamed over it. A write that fails leaves the old file as it was and no
//   temporary file behind.
// - A new file's permission bits are never wider than those of the file it is made from (the
//   umask applies on top).
// - A file is never replaced by another one written through this writer under another name: on a
//   folder that does not tell letter case apart ("UP.TXT" and "up.txt"), the later name is
//   refused.
//
// Files are not forced to disk one by one unless asked (setSync): over thousands of articles that
// costs twenty times the work itself.
class FolderWriter {
public:
    // noun names what is written, in the reasons given: "file", "page".
    explicit FolderWriter(const QString &folder, const QString &noun = QStringLiteral("file"));
    ~FolderWriter();
    FolderWriter(const FolderWriter &) = delete;
    FolderWriter &operator=(const FolderWriter &) = delete;

    // Forces each file to disk before it gets its name.
    void setSync(bool sync) { m_sync = sync; }

    enum class Target { Absent, Regular, Refused };
    // What stands at name in the folder, without following a link; *reason says why it cannot be
    // written when Refused.
    Target inspect(const QByteArray &name, QString *reason = nullptr) const;

    // Writes the pieces, one after the other, as the whole content of the file name (its bytes as
    // the folder lists it); sourceMode: the permission bits of the file it is made from. Returns
    // false with a reason when it cannot.
    bool write(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
               QString *error = nullptr, unsigned sourceMode = 0666);

    // Removes the temporary files that runs cut off before left in the folder: hidden files named
    // exactly as this class names them, by processes that no longer run, that no process holds
    // locked and that were not changed in the last minute. Returns how many.
    int removeStaleTemporaries();
    // Whether name is one this class gives its temporary files: ".NAME.cwPID-N.tmp".
    static bool isTemporaryName(QByteArrayView name, qint64 *pid = nullptr);

    // Whether two paths name the very same file or folder (device and inode), however they are
    // spelled or mounted. False when either cannot be reached.
    static bool sameFile(const QString &a, const QString &b);

private:
    bool writeNamed(const QByteArray &name, std::initializer_list<QByteArrayView> pieces,
                    QString *error, unsigned mode);
    bool finish(int fd, QString *error);

    QString m_folder;
    QString m_noun;
    int m_folderFd = -1;
    bool m_sync = false;
    // Files without a name are used until a name is found taken (linking cannot replace a file) or
    // the system turns them down; from then on every file is written under a temporary name.
    bool m_unnamedFiles = true;
    QByteArray m_pid;
    struct Written;
    std::unique_ptr<Written> m_written;
};
