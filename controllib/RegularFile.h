#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

// A regular file opened for reading so that opening and reading it can never block: the path is
// checked to name a regular file after following symbolic links (a folder, a pipe, a device or a
// socket is refused with a plain reason), opened without waiting for a writer, and checked again
// once open, so a file swapped for something else meanwhile is refused too.
class RegularFile {
public:
    RegularFile();
    ~RegularFile();
    Q_DISABLE_COPY_MOVE(RegularFile)

    // Returns false, with a reason in *error, when path is no readable regular file.
    bool open(const QString &path, QString *error = nullptr);
#ifdef Q_OS_UNIX
    // The same for the file name (its bytes, as the folder lists it) inside an open folder.
    bool openIn(int folderFd, const QByteArray &name, QString *error = nullptr);
#endif
    // The size the file had when it was opened; a hint only, the file may change meanwhile.
    qint64 sizeHint() const;
    // The file's permission bits (0666 where the system has none to tell).
    unsigned permissions() const;
    // Reads up to size bytes: the number read, 0 at the end, -1 on failure (reason in *error).
    qint64 read(char *data, qint64 size, QString *error = nullptr);
    // Reads the rest of the file. A file read whole from its start takes one read when it still
    // has the size it had when opened; one that grew meanwhile is read on to its end. May throw
    // std::bad_alloc.
    bool readAll(QByteArray &bytes, QString *error = nullptr);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};
