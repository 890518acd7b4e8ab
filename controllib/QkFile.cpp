#include "controllib/QkFile.h"

#include "controllib/RegularFile.h"

#include <QSaveFile>

#include <cstring>
#include <new>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace {

void setError(QString *error, const QString &reason) {
    if (error)
        *error = reason;
}

QString outOfMemory() {
    return QStringLiteral("There is not enough memory to read it");
}

// The bytes of a file from its start: all of them, or, when maxLines >= 0, up to and including its
// maxLines-th line feed, whichever comes first. What lies beyond is never read.
bool readLeading(QByteArray &bytes, const QString &path, QString *error, qsizetype maxLines) {
    RegularFile file;
    if (!file.open(path, error))
        return false;
    if (maxLines == 0) {
        bytes.clear();
        return true;
    }
    if (maxLines < 0)
        return file.readAll(bytes, error);
    // Steps small enough to stop soon after the last line wanted.
    QByteArray data(64 * 1024, Qt::Uninitialized);
    qsizetype used = 0;
    qsizetype scanned = 0;
    qsizetype lines = 0;
    for (;;) {
        if (used == data.size())
            data.resize(data.size() * 2);
        const qint64 got = file.read(data.data() + used, data.size() - used, error);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        used += qsizetype(got);
        while (scanned < used) {
            const void *feed =
                std::memchr(data.constData() + scanned, '\n', size_t(used - scanned));
            if (!feed) {
                scanned = used;
                break;
            }
            scanned = static_cast<const char *>(feed) - data.constData() + 1;
            if (++lines == maxLines) {
                data.truncate(scanned);
                bytes = std::move(data);
                return true;
            }
        }
    }
    data.truncate(used);
    bytes = std::move(data);
    return true;
}

} // namespace

bool QkFile::readBytes(QByteArray &bytes, const QString &path, QString *error) {
    try {
        return readLeading(bytes, path, error, -1);
    } catch (const std::bad_alloc &) {
        setError(error, outOfMemory());
        return false;
    }
}

bool QkFile::writeBytes(const QByteArray &bytes, const QString &path, QString *error) {
    QSaveFile file(path);
    // Unbuffered, so each write reaches the file at once and a failure is seen where it happens,
    // with its reason. A failure inside a write buffer would surface only when commit() flushes
    // it, and commit() does not always notice it there.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, file.errorString());
        return false;
    }
    QString failure;
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 wrote = file.write(bytes.constData() + done, bytes.size() - done);
        if (wrote <= 0) {
            failure = file.errorString();
            break;
        }
        done += qsizetype(wrote);
    }
    if (failure.isEmpty() && !file.flush())
        failure = file.errorString();
#ifdef Q_OS_UNIX
    // Some file systems report a lost write only here. One that cannot sync at all is no failure.
    if (failure.isEmpty() && ::fsync(file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP)
        failure = QString::fromLocal8Bit(std::strerror(errno));
#endif
    if (!failure.isEmpty()) {
        // The old file is left as it was; commit() now only removes the temporary file.
        file.cancelWriting();
        file.commit();
        setError(error, failure);
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool QkFile::LoadDecodedFromFile(DecodedText &decoded, const QString &path, QString *error) {
    try {
        QByteArray bytes;
        if (!readLeading(bytes, path, error, -1))
            return false;
        decoded = TextCodec::decode(bytes);
        return true;
    } catch (const std::bad_alloc &) {
        setError(error, outOfMemory());
        return false;
    }
}

bool QkFile::LoadTextFromFile(QString &text, const QString &path, QString *error) {
    DecodedText decoded;
    if (!LoadDecodedFromFile(decoded, path, error))
        return false;
    text = std::move(decoded.text);
    return true;
}

bool QkFile::LoadListFromFile(QStringList &list, const QString &path, QString *error,
                              qsizetype maxLines) {
    try {
        QByteArray bytes;
        if (!readLeading(bytes, path, error, maxLines))
            return false;
        // Only the lines taken are decoded: a UTF-8 character is never cut, as every line ends
        // before its line feed, and the encoding is decided on exactly what is used.
        const QString text = TextCodec::decode(bytes).text;
        if (text.isEmpty())
            return true;
        QStringList lines = text.split(QLatin1Char('\n'));
        if (text.endsWith(QLatin1Char('\n')))
            lines.removeLast();
        for (QString &line : lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
        list += lines;
        return true;
    } catch (const std::bad_alloc &) {
        setError(error, outOfMemory());
        return false;
    }
}
