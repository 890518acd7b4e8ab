#include "site/PageLayout.h"

#include "controllib/TextCodec.h"
#include "site/SafeWrite.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <gumbo.h>
#include <unistd.h>

namespace {

struct Found {
    const GumboElement *content = nullptr;
    const GumboElement *title = nullptr;
    const GumboElement *canonical = nullptr;
};

QByteArray attributeOf(const GumboElement &element, const char *name) {
    const GumboAttribute *a = gumbo_get_attribute(&element.attributes, name);
    return a ? QByteArray(a->value) : QByteArray();
}

// The first element, in document order, that element names ("main", "article", "#content").
void find(const GumboNode *node, const QByteArray &wanted, Found &found) {
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE)
        return;
    const GumboElement &element = node->v.element;
    const QByteArray tag = gumbo_normalized_tagname(element.tag);
    const bool matches = wanted.startsWith('#')
                             ? attributeOf(element, "id") == wanted.mid(1)
                             : (element.tag == GUMBO_TAG_UNKNOWN
                                    ? QByteArray(element.original_tag.data + 1,
                                                 qsizetype(element.original_tag.length) - 1)
                                          .toLower()
                                          .startsWith(wanted)
                                    : tag == wanted);
    if (!found.content && matches)
        found.content = &element;
    if (!found.title && element.tag == GUMBO_TAG_TITLE)
        found.title = &element;
    if (!found.canonical && element.tag == GUMBO_TAG_LINK &&
        attributeOf(element, "rel").toLower() == "canonical")
        found.canonical = &element;
    for (unsigned i = 0; i < element.children.length; ++i)
        find(static_cast<const GumboNode *>(element.children.data[i]), wanted, found);
}

struct Parsed {
    GumboOutput *output;
    explicit Parsed(const QByteArray &bytes)
        : output(gumbo_parse_with_options(&kGumboDefaultOptions, bytes.constData(),
                                          size_t(bytes.size()))) {}
    ~Parsed() { gumbo_destroy_output(&kGumboDefaultOptions, output); }
    Q_DISABLE_COPY_MOVE(Parsed)
};

bool inner(const GumboElement *element, qsizetype &begin, qsizetype &end) {
    if (!element || element->original_tag.length == 0 || element->original_end_tag.length == 0)
        return false;
    begin = qsizetype(element->start_pos.offset + element->original_tag.length);
    end = qsizetype(element->end_pos.offset);
    return begin <= end;
}

} // namespace

std::optional<PageLayout> PageLayout::load(const QString &siteFolder, const QString &page,
                                           const QString &element, QString *error) {
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (page.isEmpty() || page.contains(QLatin1Char('/')) || page.startsWith(QLatin1Char('.')))
        return fail(QStringLiteral("the layout page \"%1\" must be a page in the site's top "
                                   "folder, where the legal pages are written")
                        .arg(page));
    PageLayout layout;
    layout.m_page = page;
    const int folder =
        ::open(QFile::encodeName(siteFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QString reason;
    const bool read = folder >= 0 && SafeWrite::read(folder, QFile::encodeName(page),
                                                     layout.m_bytes, nullptr, &reason);
    if (folder >= 0)
        ::close(folder);
    if (!read)
        return fail(QStringLiteral("the layout page \"%1\" cannot be read (%2)")
                        .arg(page, reason.isEmpty() ? QStringLiteral("no such folder") : reason));
    const TextCodec::Sniffed sniffed = TextCodec::sniff(layout.m_bytes);
    if (sniffed.encoding == TextEncoding::Utf16LE || sniffed.encoding == TextEncoding::Utf16BE)
        return fail(QStringLiteral("the layout page \"%1\" is written in UTF-16").arg(page));
    layout.m_utf8 = sniffed.encoding == TextEncoding::Utf8;

    const QString wanted = element.isEmpty() ? QStringLiteral("main") : element;
    const Parsed parsed(layout.m_bytes);
    Found found;
    find(parsed.output->root, wanted.toLower().toUtf8(), found);
    if (!inner(found.content, layout.m_contentBegin, layout.m_contentEnd))
        return fail(QStringLiteral("the layout page \"%1\" has no <%2> element with a start and "
                                   "an end tag to hold the legal text")
                        .arg(page, wanted));
    if (found.title && found.title->original_end_tag.length > 0) {
        layout.m_titleBegin =
            qsizetype(found.title->start_pos.offset + found.title->original_tag.length);
        layout.m_titleEnd = qsizetype(found.title->end_pos.offset);
    }
    if (found.canonical) {
        layout.m_canonicalBegin = qsizetype(found.canonical->start_pos.offset);
        layout.m_canonicalEnd =
            layout.m_canonicalBegin + qsizetype(found.canonical->original_tag.length);
    }
    return layout;
}

QByteArray PageLayout::dress(const QString &title, const QString &composed) const {
    const QByteArray source = composed.toUtf8();
    const Parsed parsed(source);
    Found found;
    find(parsed.output->root, "main", found);
    qsizetype begin = 0, end = 0;
    if (!inner(found.content, begin, end)) {
        found = Found();
        find(parsed.output->root, "body", found);
        if (!inner(found.content, begin, end)) {
            begin = 0;
            end = source.size();
        }
    }
    const TextEncoding encoding = m_utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    const QByteArray content =
        TextCodec::encode(QString::fromUtf8(source.sliced(begin, end - begin)), encoding);

    // Splices, in order of offset: the canonical link and the title (both in the head, before
    // the content) and the content.
    struct Splice {
        qsizetype begin, end;
        QByteArray bytes;
    };
    QList<Splice> splices;
    const auto outside = [&](qsizetype b, qsizetype e) {
        return b >= 0 && (e <= m_contentBegin || b >= m_contentEnd);
    };
    if (outside(m_titleBegin, m_titleEnd))
        splices.append(
            {m_titleBegin, m_titleEnd, TextCodec::encode(title.toHtmlEscaped(), encoding)});
    if (outside(m_canonicalBegin, m_canonicalEnd))
        splices.append({m_canonicalBegin, m_canonicalEnd, QByteArray()});
    splices.append({m_contentBegin, m_contentEnd, content});
    std::sort(splices.begin(), splices.end(),
              [](const Splice &a, const Splice &b) { return a.begin < b.begin; });
    QByteArray out;
    out.reserve(m_bytes.size() + content.size());
    qsizetype at = 0;
    for (const Splice &splice : splices) {
        out.append(QByteArrayView(m_bytes).sliced(at, splice.begin - at));
        out.append(splice.bytes);
        at = splice.end;
    }
    out.append(QByteArrayView(m_bytes).sliced(at));
    return out;
}
