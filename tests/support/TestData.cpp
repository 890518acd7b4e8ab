#include "TestData.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace TestData {

QString write(const QString &dir, const QString &name, const QByteArray &bytes) {
    const QString path = QDir(dir).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

QByteArray read(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void copyProgramData(const QString &folder) {
    const QString source = QStringLiteral(CW_SOURCE_DIR);
    QDirIterator it(source + QStringLiteral("/templates"), QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        write(folder, QDir(source).relativeFilePath(path), read(path));
    }
    write(folder, QStringLiteral("rwdb.txt"), read(source + QStringLiteral("/rwdb.txt")));
}

} // namespace TestData
