#include "core/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QRegularExpression>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace FolderListing {

namespace {

struct Listed {
    QByteArray localName;
    QString shown;
};

QList<QRegularExpression> matchers(const QStringList &patterns) {
    QList<QRegularExpression> result;
    for (const QString &pattern : patterns)
        result.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                         QRegularExpression::CaseInsensitiveOption));
    return result;
}

bool matches(const QList<QRegularExpression> &matchers, const QString &name) {
    return std::any_of(matchers.begin(), matchers.end(),
                       [&](const QRegularExpression &re) { return re.match(name).hasMatch(); });
}

void sortListed(QList<Listed> &listed) {
    std::sort(listed.begin(), listed.end(), [](const Listed &a, const Listed &b) {
        const int byName = a.shown.compare(b.shown, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.localName < b.localName;
    });
}

QList<Listed> list(const QString &folder, const QStringList &patterns) {
    const QList<QRegularExpression> wanted = matchers(patterns);
    QList<Listed> result;
#ifdef Q_OS_UNIX
    // readdir keeps every name's bytes; QDir drops or changes names that are not UTF-8.
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return result;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || entry->d_type == DT_DIR)
            continue;
        const QString shown = shownName(name);
        if (!matches(wanted, shown))
            continue;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat target {};
            if (::fstatat(fd, entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode))
                continue;
        }
        result.append({name, shown});
    }
    ::closedir(dir);
#else
    const QStringList names =
        QDir(folder).entryList(patterns, QDir::Files | QDir::System, QDir::Unsorted);
    for (const QString &name : names)
        result.append({QFile::encodeName(name), name});
#endif
    sortListed(result);
    return result;
}

} // namespace

QByteArrayList localNames(const QString &folder, const QStringList &patterns) {
    QByteArrayList names;
    for (Listed &entry : list(folder, patterns))
        names.append(std::move(entry.localName));
    return names;
}

QStringList files(const QString &folder, const QStringList &patterns) {
    QStringList names;
    for (Listed &entry : list(folder, patterns))
        names.append(std::move(entry.shown));
    return names;
}

QByteArrayList folderNames(const QString &folder) {
    QList<Listed> listed;
#ifdef Q_OS_UNIX
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return {};
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        if (entry->d_type != DT_DIR) {
            struct stat target {};
            if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
                continue;
            if (::fstatat(fd, entry->d_name, &target, 0) != 0 || !S_ISDIR(target.st_mode))
                continue;
        }
        listed.append({name, shownName(name)});
    }
    ::closedir(dir);
#else
    for (const QString &name : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        listed.append({QFile::encodeName(name), name});
#endif
    sortListed(listed);
    QByteArrayList names;
    for (Listed &entry : listed)
        names.append(std::move(entry.localName));
    return names;
}

QString shownName(const QByteArray &localName) {
    return QFile::decodeName(localName);
}

} // namespace FolderListing
