#include "controllib/QkFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

void setError(QString *error, const QString &reason) {
    if (error)
        *error = reason;
}

} // namespace

bool QkFile::readBytes(QByteArray &bytes, const QString &path, QString *error) {
    const QFileInfo info(path);
    if (info.isDir()) {
        setError(error, QStringLiteral("It is a folder, not a file"));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        return false;
    }
    bytes = std::move(data);
    return true;
}

bool QkFile::writeBytes(const QByteArray &bytes, const QString &path, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool QkFile::LoadDecodedFromFile(DecodedText &decoded, const QString &path, QString *error) {
    QByteArray bytes;
    if (!readBytes(bytes, path, error))
        return false;
    decoded = TextCodec::decode(bytes);
    return true;
}

bool QkFile::LoadTextFromFile(QString &text, const QString &path, QString *error) {
    DecodedText decoded;
    if (!LoadDecodedFromFile(decoded, path, error))
        return false;
    text = std::move(decoded.text);
    return true;
}

bool QkFile::LoadListFromFile(QStringList &list, const QString &path, QString *error) {
    QString text;
    if (!LoadTextFromFile(text, path, error))
        return false;
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
}

bool QkFile::SaveTextToFile(const QString &text, const QString &path, QString *error,
                            TextEncoding encoding, bool byteOrderMark) {
    return writeBytes(TextCodec::encode(text, encoding, byteOrderMark), path, error);
}
