#include "legalpages/PageCharset.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace {

// The names browsers take for Windows-1252 and for UTF-8.
bool isWindows1252(const QString &name) {
    static const QStringList names = {
        "ansi_x3.4-1968", "ascii",           "cp1252",     "cp819",     "csisolatin1",
        "ibm819",         "iso-8859-1",      "iso-ir-100", "iso8859-1", "iso88591",
        "iso_8859-1",     "iso_8859-1:1987", "l1",         "latin1",    "us-ascii",
        "windows-1252",   "x-cp1252"};
    return names.contains(name, Qt::CaseInsensitive);
}

bool isUtf8(const QString &name) {
    static const QStringList names = {
        "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "utf-8", "utf8", "x-unicode20utf8"};
    return names.contains(name, Qt::CaseInsensitive);
}

struct Declaration {
    qsizetype start; // of the encoding's name
    qsizetype length;
    QString name;
};

// The declaration of one <meta> tag, read from its attributes alone: charset="x", or
// http-equiv="Content-Type" with content="text/html; charset=x". A "charset=" anywhere else (in a
// description, say) declares nothing.
std::optional<Declaration> declarationIn(const QString &html, qsizetype tagStart,
                                         qsizetype tagEnd) {
    static const QRegularExpression attribute(
        QStringLiteral(R"x(([^\s=/>"']+)(?:\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>"']+)))?)x"));
    static const QRegularExpression inContent(
        QStringLiteral(R"(charset\s*=\s*["']?\s*([^\s"'/;>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    std::optional<Declaration> charset;
    bool contentType = false;
    std::optional<Declaration> content;
    const QStringView tag = QStringView(html).first(tagEnd);
    for (auto it = attribute.globalMatch(tag, tagStart + 5); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        int group = 2;
        while (group < 5 && match.capturedStart(group) < 0)
            ++group;
        const QString name = match.captured(1).toLower();
        const QString value = group < 5 ? match.captured(group) : QString();
        const qsizetype valueStart = group < 5 ? match.capturedStart(group) : -1;
        if (name == QLatin1String("charset") && !charset && valueStart >= 0) {
            const QString trimmed = value.trimmed();
            charset = Declaration{valueStart + value.indexOf(trimmed), trimmed.size(), trimmed};
        } else if (name == QLatin1String("http-equiv")) {
            contentType =
                value.trimmed().compare(QLatin1String("content-type"), Qt::CaseInsensitive) == 0;
        } else if (name == QLatin1String("content") && valueStart >= 0) {
            const QRegularExpressionMatch found = inContent.match(value);
            if (found.hasMatch())
                content = Declaration{valueStart + found.capturedStart(1), found.capturedLength(1),
                                      found.captured(1)};
        }
    }
    if (charset)
        return charset;
    if (contentType)
        return content;
    return std::nullopt;
}

// The charset declarations of <meta> tags outside comments, in their order.
QList<Declaration> declarations(const QString &html) {
    static const QRegularExpression meta(QStringLiteral(R"(<meta\b[^>]*>?)"),
                                         QRegularExpression::CaseInsensitiveOption);
    QList<Declaration> found;
    qsizetype from = 0;
    while (from < html.size()) {
        const qsizetype comment = html.indexOf(QStringLiteral("<!--"), from);
        const qsizetype end = comment < 0 ? html.size() : comment;
        auto matches = meta.globalMatch(QStringView(html).first(end), from);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            if (const auto declared =
                    declarationIn(html, match.capturedStart(), match.capturedEnd()))
                found.append(*declared);
        }
        if (comment < 0)
            break;
        const qsizetype close = html.indexOf(QStringLiteral("-->"), comment + 4);
        from = close < 0 ? html.size() : close + 3;
    }
    return found;
}

} // namespace

PageCharset PageCharset::forTemplate(const DecodedText &htmlTemplate) {
    PageCharset charset;
    charset.htmlTemplate = htmlTemplate.text;
    charset.encoding = htmlTemplate.encoding;
    charset.byteOrderMark = htmlTemplate.byteOrderMark;
    // A mark followed by bytes that are no UTF-8 was read as the three characters of its bytes.
    static const QString markAsWindows1252 = QStringLiteral("\u00EF\u00BB\u00BF");
    if (charset.encoding == TextEncoding::Windows1252 &&
        charset.htmlTemplate.startsWith(markAsWindows1252)) {
        charset.htmlTemplate.remove(0, markAsWindows1252.size());
        charset.byteOrderMark = true;
    }

    const QList<Declaration> declared = declarations(charset.htmlTemplate);
    if (charset.byteOrderMark) {
        charset.encoding = TextEncoding::Utf8;
    } else if (!declared.isEmpty() && isWindows1252(declared.first().name)) {
        charset.encoding = TextEncoding::Windows1252;
        return charset;
    } else if (!declared.isEmpty()) {
        charset.encoding = TextEncoding::Utf8;
    }
    if (charset.encoding != TextEncoding::Utf8 || declared.isEmpty() ||
        std::all_of(declared.begin(), declared.end(),
                    [](const Declaration &d) { return isUtf8(d.name); }))
        return charset;
    // From the last to the first, so the positions of the earlier ones stay right.
    for (auto it = declared.crbegin(); it != declared.crend(); ++it) {
        if (!isUtf8(it->name))
            charset.htmlTemplate.replace(it->start, it->length, QStringLiteral("utf-8"));
    }
    return charset;
}

QByteArray PageCharset::encode(const QString &page) const {
    return TextCodec::encode(page, encoding, byteOrderMark);
}
