#include "site/SiteScan.h"

#include "core/FolderListing.h"
#include "site/HtmlTokenizer.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <vector>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SiteScan {

namespace {

using Kind = HtmlTokenizer::Kind;
using Use = ServiceCatalogue::Use;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

QByteArrayView trimmedSpaces(QByteArrayView text) {
    while (!text.isEmpty() && isSpace(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isSpace(text.back()))
        text.chop(1);
    return text;
}

bool startsWithNoCase(QByteArrayView text, const char *prefix) {
    const qsizetype n = qsizetype(std::strlen(prefix));
    return text.size() >= n && qstrnicmp(text.data(), prefix, n) == 0;
}

bool absolute(QByteArrayView value) {
    while (!value.isEmpty() && isSpace(value.front()))
        value = value.sliced(1);
    return value.startsWith("//") || startsWithNoCase(value, "https:") ||
           startsWithNoCase(value, "http:");
}

bool loads(QByteArrayView tag) {
    static const QByteArrayView names[] = {"script", "iframe", "frame", "link",   "img",
                                           "source", "form",   "embed", "object", "video",
                                           "audio",  "track",  "input"};
    return std::find(std::begin(names), std::end(names), tag) != std::end(names);
}

// A script body that is data, not code: JSON-LD, JSON, client-side templates.
bool dataScript(const HtmlTokenizer::Token &tag) {
    const HtmlTokenizer::Attribute *type = tag.attribute("type");
    if (!type)
        return false;
    const QByteArray t = type->value.toByteArray().toLower();
    return t.contains("json") || t.contains("template") || t.contains("tmpl") || t.contains("html");
}

// A link that only warms a connection up ("preconnect", "dns-prefetch") loads nothing.
bool hintOnly(const HtmlTokenizer::Token &tag) {
    const HtmlTokenizer::Attribute *rel = tag.attribute("rel");
    if (!rel)
        return false;
    const QByteArray r = rel->value.toByteArray().toLower();
    return r.contains("preconnect") || r.contains("dns-prefetch");
}

// Calls each(address) for every address a style sheet loads: url(...) and @import "...", but
// not in a comment.
template <typename Each> void styleSheetUrls(QByteArrayView css, Each &&each) {
    qsizetype i = 0;
    while (i < css.size()) {
        const qsizetype url = css.indexOf("url(", i);
        const qsizetype import = css.indexOf("@import", i);
        if (url < 0 && import < 0)
            return;
        const qsizetype comment = css.indexOf("/*", i);
        if (comment >= 0 && (url < 0 || comment < url) && (import < 0 || comment < import)) {
            const qsizetype close = css.indexOf("*/", comment + 2);
            if (close < 0)
                return;
            i = close + 2;
            continue;
        }
        const bool isUrl = url >= 0 && (import < 0 || url < import);
        qsizetype at = isUrl ? url + 4 : import + 7;
        while (at < css.size() && isSpace(css[at]))
            ++at;
        if (at < css.size() && (css[at] == '"' || css[at] == '\'')) {
            const qsizetype close = css.indexOf(css[at], at + 1);
            const qsizetype end = close < 0 ? css.size() : close;
            each(css.sliced(at + 1, end - at - 1));
            i = end + 1;
        } else if (isUrl) {
            const qsizetype close = css.indexOf(')', at);
            const qsizetype end = close < 0 ? css.size() : close;
            each(trimmedSpaces(css.sliced(at, end - at)));
            i = end + 1;
        } else {
            i = at; // "@import url(...)": the url( is read next
        }
    }
}

class PageScanner {
public:
    explicit PageScanner(const ServiceCatalogue &catalogue, QList<Finding> *findings = nullptr)
        : m_catalogue(catalogue), m_seen(std::size_t(catalogue.services().size()), false),
          m_findings(findings) {}

    void scan(QByteArrayView page) {
        m_page = page;
        HtmlTokenizer tokenizer(page);
        HtmlTokenizer::Token token;
        bool readBody = false; // the raw text after this start tag is code or a style sheet
        while (tokenizer.next(token)) {
            if (token.kind == Kind::StartTag) {
                m_tagBegin = token.begin;
                m_tagEnd = token.end;
                const QByteArrayView name = token.name;
                readBody = (name == "script" && !token.attribute("src") && !dataScript(token)) ||
                           name == "style";
                m_styleBody = name == "style";
                if (name == "a" || name == "area")
                    urls(token, Use::Link);
                else if (loads(name) && !(name == "link" && hintOnly(token)))
                    urls(token, Use::Load);
                if (const HtmlTokenizer::Attribute *style = token.attribute("style"))
                    styleSheetUrls(style->value,
                                   [&](QByteArrayView url) { markUrl(url, Use::Load); });
            } else if (token.kind == Kind::RawText) {
                if (readBody)
                    body(page.sliced(token.begin, token.end - token.begin), m_styleBody);
                readBody = false;
            } else {
                readBody = false;
            }
        }
    }

    // A style sheet file: its imports, its url()s and its inline texts.
    void scanStyleSheet(QByteArrayView css) {
        m_page = css;
        m_tagBegin = m_tagEnd = 0;
        body(css, true);
    }

    // The services seen since the last call, in catalogue order; forgets them.
    QList<const Service *> take() {
        QList<const Service *> result;
        const QList<Service> &all = m_catalogue.services();
        for (std::size_t i = 0; i < m_seen.size(); ++i) {
            if (m_seen[i]) {
                result.append(&all.at(qsizetype(i)));
                m_seen[i] = false;
            }
        }
        return result;
    }

private:
    void mark(const Service *s, Finding::How how, QByteArrayView where) {
        m_seen[std::size_t(s - m_catalogue.services().constData())] = true;
        if (m_findings) {
            const qsizetype begin = where.data() - m_page.data();
            m_findings->append({s, how, m_tagBegin, m_tagEnd, begin, begin + where.size()});
        }
    }

    void body(QByteArrayView text, bool styleSheet) {
        for (const Service *s : m_catalogue.matchInline(text))
            mark(s, Finding::How::Inline, text);
        if (styleSheet)
            styleSheetUrls(text, [&](QByteArrayView url) { markUrl(url, Use::Load); });
    }

    void markUrl(QByteArrayView url, Use use) {
        for (const Service *s : m_catalogue.matchUrlAll(url, use))
            mark(s, use == Use::Load ? Finding::How::Loads : Finding::How::LinksTo, url);
    }

    void urls(const HtmlTokenizer::Token &tag, Use use) {
        for (const HtmlTokenizer::Attribute &a : tag.attributes) {
            if (a.value.isEmpty())
                continue;
            if (a.name.size() > 5 && qstrnicmp(a.name.data(), "data-", 5) == 0) {
                if (absolute(a.value))
                    markUrl(a.value, use);
            } else if (a.is("srcset")) {
                srcset(a.value, use);
            } else if (a.is("src") || a.is("href") || a.is("action") || a.is("data") ||
                       a.is("poster") || a.is("suppressedsrc")) {
                markUrl(a.value, use);
            }
        }
    }

    // "a.jpg 1x, https://cdn/b.jpg 2x": the first word of each candidate.
    void srcset(QByteArrayView value, Use use) {
        qsizetype i = 0;
        while (i < value.size()) {
            while (i < value.size() && (isSpace(value[i]) || value[i] == ','))
                ++i;
            const qsizetype begin = i;
            while (i < value.size() && !isSpace(value[i]))
                ++i;
            const QByteArrayView url = value.sliced(begin, i - begin);
            markUrl(url.endsWith(',') ? url.chopped(1) : url, use);
            while (i < value.size() && value[i] != ',')
                ++i;
        }
    }

    const ServiceCatalogue &m_catalogue;
    std::vector<bool> m_seen;
    QList<Finding> *m_findings;
    QByteArrayView m_page;
    qsizetype m_tagBegin = 0;
    qsizetype m_tagEnd = 0;
    bool m_styleBody = false;
};

bool wanted(const QByteArray &name) {
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QString extension = QString::fromLatin1(name.mid(dot + 1)).toLower();
    static const QSet<QString> extensions = [] {
        QSet<QString> set;
        for (const QString &p : patterns())
            set.insert(p.mid(2));
        return set;
    }();
    return extensions.contains(extension);
}

bool styleSheet(const QByteArray &name) {
    const QByteArray lower = name.toLower();
    return lower.endsWith(".css") || lower.endsWith(".scss") || lower.endsWith(".sass") ||
           lower.endsWith(".less");
}

struct Walk {
    QByteArray rootReal;
    QSet<QPair<dev_t, ino_t>> visited;
    QList<QPair<QByteArray, QByteArray>> files; // local path, relative local path
    QList<SiteScanResult::Problem> problems;

    bool inside(const QByteArray &path) const {
        char *real = ::realpath(path.constData(), nullptr);
        if (!real)
            return false;
        const QByteArray r(real);
        ::free(real);
        return r == rootReal || r.startsWith(rootReal + '/') || rootReal == "/";
    }

    void folder(const QByteArray &path, const QByteArray &relative) {
        DIR *dir = ::opendir(path.constData());
        if (!dir) {
            problems.append({FolderListing::shownName(relative.isEmpty() ? "." : relative),
                             QString::fromLocal8Bit(std::strerror(errno))});
            return;
        }
        QList<QByteArray> names;
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (!name.startsWith('.') && name != "node_modules")
                names.append(name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        for (const QByteArray &name : names) {
            const QByteArray full = path + '/' + name;
            const QByteArray rel = relative.isEmpty() ? name : relative + '/' + name;
            struct stat link {};
            if (::lstat(full.constData(), &link) != 0)
                continue;
            const bool isLink = S_ISLNK(link.st_mode);
            struct stat target {};
            const bool exists = ::stat(full.constData(), &target) == 0;
            if (exists && S_ISDIR(target.st_mode)) {
                if (isLink && !inside(full))
                    continue;
                if (visited.contains({target.st_dev, target.st_ino}))
                    continue;
                visited.insert({target.st_dev, target.st_ino});
                folder(full, rel);
                continue;
            }
            if (!wanted(name))
                continue;
            if (isLink && exists && !inside(full))
                continue;
            if (!exists)
                problems.append(
                    {FolderListing::shownName(rel), QStringLiteral("a link that leads nowhere")});
            else if (!S_ISREG(target.st_mode))
                problems.append({FolderListing::shownName(rel), QStringLiteral("not a file")});
            else
                files.append({full, rel});
        }
    }
};

// Reads a whole file into buffer (kept between calls); an empty text when it could, else why not.
QString readFile(const QByteArray &path, QByteArray &buffer) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return QStringLiteral("not a file");
    }
    qsizetype size = 0;
    buffer.resize(qsizetype(st.st_size) + 1);
    while (true) {
        if (size == buffer.size())
            buffer.resize(size * 2 + 4096);
        const ssize_t got = ::read(fd, buffer.data() + size, std::size_t(buffer.size() - size));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            ::close(fd);
            return reason;
        }
        if (got == 0)
            break;
        size += got;
    }
    ::close(fd);
    buffer.resize(size);
    return QString();
}

} // namespace

const QStringList &patterns() {
    static const QStringList list{
        QStringLiteral("*.html"),  QStringLiteral("*.htm"),        QStringLiteral("*.xhtml"),
        QStringLiteral("*.shtml"), QStringLiteral("*.njk"),        QStringLiteral("*.liquid"),
        QStringLiteral("*.hbs"),   QStringLiteral("*.handlebars"), QStringLiteral("*.mustache"),
        QStringLiteral("*.twig"),  QStringLiteral("*.ejs"),        QStringLiteral("*.erb"),
        QStringLiteral("*.tmpl"),  QStringLiteral("*.tpl"),        QStringLiteral("*.php"),
        QStringLiteral("*.jinja"), QStringLiteral("*.j2"),         QStringLiteral("*.astro"),
        QStringLiteral("*.css"),   QStringLiteral("*.scss"),       QStringLiteral("*.sass"),
        QStringLiteral("*.less")};
    return list;
}

QList<const Service *> scanPage(QByteArrayView page, const ServiceCatalogue &catalogue) {
    PageScanner scanner(catalogue);
    scanner.scan(page);
    return scanner.take();
}

QList<Finding> findings(QByteArrayView page, const ServiceCatalogue &catalogue) {
    QList<Finding> result;
    PageScanner scanner(catalogue, &result);
    scanner.scan(page);
    return result;
}

SiteScanResult scan(const QString &siteFolder, const ServiceCatalogue &catalogue) {
    SiteScanResult result;
    Walk walk;
    const QByteArray root = QFile::encodeName(siteFolder);
    char *real = ::realpath(root.constData(), nullptr);
    if (!real) {
        result.unreadable.append({siteFolder, QString::fromLocal8Bit(std::strerror(errno))});
        return result;
    }
    walk.rootReal = real;
    ::free(real);
    struct stat st {};
    if (::stat(root.constData(), &st) == 0)
        walk.visited.insert({st.st_dev, st.st_ino});
    walk.folder(root, QByteArray());
    result.unreadable = walk.problems;

    PageScanner scanner(catalogue);
    QByteArray buffer;
    for (const auto &[path, relative] : walk.files) {
        const QString problem = readFile(path, buffer);
        if (!problem.isEmpty()) {
            result.unreadable.append({FolderListing::shownName(relative), problem});
            continue;
        }
        ++result.filesRead;
        if (styleSheet(relative))
            scanner.scanStyleSheet(buffer);
        else
            scanner.scan(buffer);
        const QString shown = FolderListing::shownName(relative);
        for (const Service *s : scanner.take())
            result.found[s->id].append(shown);
    }
    for (QStringList &files : result.found)
        files.sort();
    std::sort(result.unreadable.begin(), result.unreadable.end(),
              [](const auto &a, const auto &b) { return a.path < b.path; });
    return result;
}

} // namespace SiteScan
