#include "site/SiteEditor.h"

#include "site/SafeWrite.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool isPageName(const QByteArray &name) {
    const QByteArray lower = name.toLower();
    return lower.endsWith(".html") || lower.endsWith(".htm");
}

struct Walk {
    const PageEdit::Placement &placement;
    bool dryRun;
    const SiteEditor::Report &report;
    SiteEditor::Summary summary;

    void named(const QString &path, const QString &reason, bool failed) {
        SiteEditor::Page page;
        page.path = path;
        page.outcome = PageEdit::Result::Refused;
        page.failed = failed;
        page.reason = reason;
        (failed ? summary.failed : summary.refused) += 1;
        report(page);
    }

    void page(int folderFd, const QByteArray &name, const QString &path, int depth) {
        QByteArray bytes;
        struct stat info {};
        QString reason;
        if (!SafeWrite::read(folderFd, name, bytes, &info, &reason))
            return named(path, reason, false);
        PageEdit::Result result = PageEdit::edit(bytes, depth, placement);
        bytes.clear();
        SiteEditor::Page done;
        done.path = path;
        done.outcome = result.outcome;
        done.reason = result.reason;
        done.changes = result.changes;
        if (result.outcome == PageEdit::Result::Changed && !dryRun &&
            !SafeWrite::replace(folderFd, name, result.bytes, info, &done.reason)) {
            done.failed = true;
            ++summary.failed;
        } else if (result.outcome == PageEdit::Result::Changed) {
            ++summary.changed;
        } else if (result.outcome == PageEdit::Result::Refused) {
            ++summary.refused;
        } else {
            ++summary.unchanged;
        }
        report(done);
    }

    void folder(int folderFd, const QString &prefix, int depth) {
        DIR *dir = ::fdopendir(folderFd);
        if (!dir) {
            ::close(folderFd);
            return named(prefix, QString::fromLocal8Bit(std::strerror(errno)), true);
        }
        // Names first, then the work: the folder's listing is not disturbed by the temporary
        // files and renames of the pages written meanwhile.
        QList<QByteArray> names;
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name.startsWith('.') || (depth == 0 && name == placement.consentFolder.toUtf8()))
                continue;
            names.append(name);
        }
        std::sort(names.begin(), names.end());
        for (const QByteArray &name : std::as_const(names)) {
            const QString path = prefix + QFile::decodeName(name);
            struct stat info {};
            if (::fstatat(::dirfd(dir), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(info.st_mode)) {
                const int sub = ::openat(::dirfd(dir), name.constData(),
                                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sub < 0)
                    named(path + QLatin1Char('/'), QString::fromLocal8Bit(std::strerror(errno)),
                          true);
                else
                    folder(sub, path + QLatin1Char('/'), depth + 1);
            } else if (isPageName(name)) {
                page(::dirfd(dir), name, path, depth);
            } else if (S_ISLNK(info.st_mode)) {
                struct stat target {};
                if (::fstatat(::dirfd(dir), name.constData(), &target, 0) == 0 &&
                    S_ISDIR(target.st_mode))
                    named(path + QLatin1Char('/'),
                          QStringLiteral("it is a symbolic link to a folder, not followed"), false);
            }
        }
        ::closedir(dir);
    }
};

} // namespace

SiteEditor::Summary SiteEditor::run(const QString &siteFolder, const PageEdit::Placement &placement,
                                    bool dryRun, const Report &report) {
    Walk walk{placement, dryRun, report, {}};
    const int top =
        ::open(QFile::encodeName(siteFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (top < 0) {
        walk.named(siteFolder, QString::fromLocal8Bit(std::strerror(errno)), true);
        return walk.summary;
    }
    walk.folder(top, QString(), 0);
    return walk.summary;
}
