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
    // The size the file had when it was opened; a hint only, the file may change meanwhile.
    qint64 sizeHint() const;
    // Reads up to size bytes: the number read, 0 at the end, -1 on failure (reason in *error).
    qint64 read(char *data, qint64 size, QString *error = nullptr);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};
