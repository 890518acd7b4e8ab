#include "site/PageEdit.h"

#include "controllib/TextCodec.h"
#include "site/HtmlTokenizer.h"

#include <algorithm>
#include <cstring>

namespace PageEdit {

namespace {

const QByteArray kOpen = "<!-- clausewright:";
const QByteArray kClose = "<!-- /clausewright:";
const QByteArray kMarkAttribute = "data-clausewright";

// A marker comment's block name: "links" for "<!-- clausewright:links -->", or empty.
QByteArray markerName(QByteArrayView comment, const QByteArray &prefix) {
    if (!comment.startsWith(prefix) || !comment.endsWith(" -->"))
        return QByteArray();
    return comment.sliced(prefix.size(), comment.size() - prefix.size() - 4).toByteArray();
}

struct Cut {
    qsizetype from;
    qsizetype to;
};

QByteArray withoutCuts(QByteArrayView page, const QList<Cut> &cuts) {
    QByteArray out;
    out.reserve(page.size());
    qsizetype at = 0;
    for (const Cut &cut : cuts) {
        out.append(page.sliced(at, cut.from - at));
        at = cut.to;
    }
    out.append(page.sliced(at));
    return out;
}

using Token = HtmlTokenizer::Token;
using Kind = HtmlTokenizer::Kind;

// Where a tag's name ends: the program's attributes go right after it.
qsizetype nameEnd(const Token &tag) {
    return tag.begin + (tag.kind == Kind::EndTag ? 2 : 1) + tag.name.size();
}

qsizetype attributeEnd(const HtmlTokenizer::Attribute &a) {
    if (!a.hasValue)
        return a.nameBegin + a.name.size();
    return a.valueEnd + (a.quote ? 1 : 0);
}

// The attribute run inserted after a tag's name, as [name's end, end of data-clausewright), or
// none.
std::optional<Cut> markedRun(const Token &tag) {
    if (const HtmlTokenizer::Attribute *mark = tag.attribute(kMarkAttribute))
        return Cut{nameEnd(tag), attributeEnd(*mark)};
    return std::nullopt;
}

bool isScriptType(QByteArrayView type) {
    const QByteArray t = type.trimmed().toByteArray().toLower();
    return t.isEmpty() || t == "module" || t == "text/javascript" ||
           t == "application/javascript" || t == "text/ecmascript" || t == "application/ecmascript";
}

QString attributeText(const QString &text) {
    return text.toHtmlEscaped();
}

// Where the page's blocks go, found on the page without the program's insertions.
struct Anchors {
    bool frameset = false;
    bool bodyTag = false;
    qsizetype footerEnd = -1; // "</footer>" of the page's own footer (the last one outside
                              // article, aside, nav, section and main)
    qsizetype bodyEnd = -1;   // the first "</body>"
    qsizetype htmlEnd = -1;   // the first "</html>"
    QList<std::pair<qsizetype, QString>> held; // attribute runs for held-back tags
};

// The tags placement looks at; every other tag is Other. Tested by length first: most tags of a
// page (p, a, li, em) are told apart without comparing a byte.
enum class Tag { Other, Frameset, Body, Html, Footer, Sectioning, Script, Iframe };

Tag classify(const QByteArray &name) {
    const auto same = [&](const char *word) {
        return std::memcmp(name.constData(), word, size_t(name.size())) == 0;
    };
    switch (name.size()) {
    case 3:
        return same("nav") ? Tag::Sectioning : Tag::Other;
    case 4:
        return same("body")   ? Tag::Body
               : same("html") ? Tag::Html
               : same("main") ? Tag::Sectioning
                              : Tag::Other;
    case 5:
        return same("aside") ? Tag::Sectioning : Tag::Other;
    case 6:
        return same("footer")   ? Tag::Footer
               : same("script") ? Tag::Script
               : same("iframe") ? Tag::Iframe
                                : Tag::Other;
    case 7:
        return same("article") || same("section") ? Tag::Sectioning : Tag::Other;
    case 8:
        return same("frameset") ? Tag::Frameset : Tag::Other;
    default:
        return Tag::Other;
    }
}

Anchors findAnchors(QByteArrayView page, const Placement &placement) {
    Anchors anchors;
    int sectioning = 0;
    const auto hold = [&](const Token &tag, QByteArrayView src, QByteArrayView text) {
        const std::optional<Held> held = placement.matcher(tag.name, src, text);
        if (!held)
            return;
        QString run;
        if (tag.name == "iframe")
            run =
                QStringLiteral(" srcdoc=\"%1\"")
                    .arg(attributeText(
                        QStringLiteral(
                            "<p style='font:14px sans-serif'>This content from another site loads "
                            "once you accept its category (%1) in the cookie settings.</p>")
                            .arg(held->category)));
        else
            run = QStringLiteral(" type=\"text/plain\"");
        run += QStringLiteral(" data-category=\"%1\" data-service=\"%2\"")
                   .arg(attributeText(held->category), attributeText(held->service));
        if (const HtmlTokenizer::Attribute *type = tag.attribute("type");
            type && tag.name == "script")
            run += QStringLiteral(" data-type=\"%1\"")
                       .arg(attributeText(QString::fromLatin1(type->value.toByteArray())));
        run += QStringLiteral(" ") + QString::fromLatin1(kMarkAttribute);
        anchors.held.append({nameEnd(tag), run});
    };
    HtmlTokenizer tokens(page);
    Token tag;
    std::optional<Token> openScript;
    while (tokens.next(tag)) {
        if (openScript) {
            if (tag.kind == Kind::RawText)
                hold(*openScript, QByteArrayView(), page.sliced(tag.begin, tag.end - tag.begin));
            openScript.reset();
        }
        if (tag.kind != Kind::StartTag && tag.kind != Kind::EndTag)
            continue;
        const Tag which = classify(tag.name);
        if (which == Tag::Other)
            continue;
        if (tag.kind == Kind::StartTag) {
            if (which == Tag::Frameset)
                anchors.frameset = true;
            else if (which == Tag::Body)
                anchors.bodyTag = true;
            else if (which == Tag::Sectioning)
                ++sectioning;
            else if (placement.consent && (which == Tag::Script || which == Tag::Iframe)) {
                const HtmlTokenizer::Attribute *type = tag.attribute("type");
                if (tag.attribute("data-category") ||
                    (which == Tag::Script && type && !isScriptType(type->value)))
                    continue;
                if (const HtmlTokenizer::Attribute *src = tag.attribute("src"))
                    hold(tag, src->value, QByteArrayView());
                else if (which == Tag::Script)
                    openScript = tag;
            }
        } else {
            if (which == Tag::Sectioning)
                sectioning = std::max(0, sectioning - 1);
            else if (which == Tag::Footer && sectioning == 0)
                anchors.footerEnd = tag.begin;
            else if (which == Tag::Body && anchors.bodyEnd < 0)
                anchors.bodyEnd = tag.begin;
            else if (which == Tag::Html && anchors.htmlEnd < 0)
                anchors.htmlEnd = tag.begin;
        }
    }
    return anchors;
}

const char kOptOutIcon[] =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30\" height=\"14\" viewBox=\"0 0 30 14\" "
    "aria-hidden=\"true\" style=\"vertical-align:middle\">"
    "<rect x=\"0.5\" y=\"0.5\" width=\"29\" height=\"13\" rx=\"6.5\" fill=\"#fff\" "
    "stroke=\"#06f\"/><path d=\"M15 0.5h8a6.5 6.5 0 0 1 0 13h-8z\" fill=\"#06f\"/>"
    "<path d=\"M5.5 7.2l2.2 2.2 4-4.6\" fill=\"none\" stroke=\"#06f\" stroke-width=\"1.6\"/>"
    "<path d=\"M20 4.5l5 5m0-5l-5 5\" stroke=\"#fff\" stroke-width=\"1.6\"/></svg>";

QString linkTarget(const QString &prefix, const QString &fileName) {
    QString target = fileName;
    target.replace(QLatin1Char('%'), QStringLiteral("%25"));
    target.replace(QLatin1Char('#'), QStringLiteral("%23"));
    target.replace(QLatin1Char('?'), QStringLiteral("%3F"));
    return attributeText(prefix + target);
}

QString linksBlock(const Placement &placement, const QString &prefix, const QString &eol) {
    QString block = QStringLiteral("<!-- clausewright:links --><nav class=\"legal-links\" "
                                   "aria-label=\"Legal\">") +
                    eol +
                    QStringLiteral("<ul style=\"display:flex;flex-wrap:wrap;gap:0 1em;"
                                   "list-style:none;padding:0\">") +
                    eol;
    for (const LegalLink &link : placement.links) {
        block += QStringLiteral("<li><a href=\"%1\">").arg(linkTarget(prefix, link.fileName));
        if (link.optOutIcon)
            block += QString::fromLatin1(kOptOutIcon) + QLatin1Char(' ');
        block += link.title.toHtmlEscaped() + QStringLiteral("</a></li>") + eol;
    }
    if (placement.consent) {
        block += QStringLiteral("<li><a href=\"#cookie-settings\" "
                                "data-cc=\"show-preferencesModal\">Cookie settings</a></li>") +
                 eol;
    }
    block += QStringLiteral("</ul>") + eol;
    if (placement.consent) {
        block += QStringLiteral("<p class=\"gpc-honoured\" hidden>Your browser sent a Global "
                                "Privacy Control signal: we honour it as an opt-out of the sale "
                                "and sharing of your data, and advertising cookies stay "
                                "off.</p>") +
                 eol;
    }
    return block + QStringLiteral("</nav><!-- /clausewright:links -->");
}

QString consentBlock(const Placement &placement, const QString &prefix, const QString &eol) {
    const QString folder = attributeText(prefix + placement.consentFolder + QLatin1Char('/'));
    return QStringLiteral("<!-- clausewright:consent --><link rel=\"stylesheet\" "
                          "href=\"%1cookieconsent.css\">")
               .arg(folder) +
           eol + QStringLiteral("<script src=\"%1cookieconsent.umd.js\"></script>").arg(folder) +
           eol +
           QStringLiteral("<script src=\"%1consent-config.js\"></script>"
                          "<!-- /clausewright:consent -->")
               .arg(folder);
}

} // namespace

QByteArray strip(QByteArrayView page) {
    // A page the program never touched holds no mark: no need to read its tags.
    if (!page.contains(QByteArrayView("clausewright")))
        return page.toByteArray();
    QList<Cut> cuts;
    qsizetype blockStart = -1;
    QByteArray blockName;
    HtmlTokenizer tokens(page);
    Token tag;
    while (tokens.next(tag)) {
        if (tag.kind == Kind::Comment) {
            const QByteArrayView text = page.sliced(tag.begin, tag.end - tag.begin);
            if (blockStart < 0) {
                blockName = markerName(text, kOpen);
                if (!blockName.isEmpty())
                    blockStart = tag.begin;
            } else if (markerName(text, kClose) == blockName) {
                cuts.append({blockStart, tag.end});
                blockStart = -1;
            }
        } else if (blockStart < 0 && tag.kind == Kind::StartTag) {
            if (const std::optional<Cut> run = markedRun(tag))
                cuts.append(*run);
        }
    }
    if (cuts.isEmpty())
        return page.toByteArray();
    return withoutCuts(page, cuts);
}

Result edit(QByteArrayView current, int depth, const Placement &placement) {
    Result result;
    const TextCodec::Sniffed sniffed = TextCodec::sniff(current);
    if (sniffed.encoding == TextEncoding::Utf16LE || sniffed.encoding == TextEncoding::Utf16BE) {
        result.outcome = Result::Refused;
        result.reason = QStringLiteral("it is written in UTF-16");
        return result;
    }
    const QByteArray page = strip(current);
    if (placement.links.isEmpty() && !placement.consent) {
        // Removal: a page of any shape gives back what the program took into it.
        if (page.size() != current.size()) {
            result.outcome = Result::Changed;
            result.changes.append(QStringLiteral("the program's insertions taken out"));
            result.bytes = page;
        }
        return result;
    }
    const Anchors anchors = findAnchors(page, placement);
    if (anchors.frameset) {
        result.outcome = Result::Refused;
        result.reason = QStringLiteral("it is a frameset, with no body to place into");
        return result;
    }
    if (!anchors.bodyTag && anchors.bodyEnd < 0) {
        result.outcome = Result::Refused;
        result.reason = QStringLiteral("it has no <body>");
        return result;
    }

    const qsizetype newline = page.indexOf('\n');
    const QString eol = (newline > 0 && page.at(newline - 1) == '\r') ? QStringLiteral("\r\n")
                                                                      : QStringLiteral("\n");
    const QString prefix = QStringLiteral("../").repeated(depth);
    const qsizetype bodyEnd = anchors.bodyEnd >= 0   ? anchors.bodyEnd
                              : anchors.htmlEnd >= 0 ? anchors.htmlEnd
                                                     : page.size();
    const QString where = anchors.bodyEnd >= 0   ? QStringLiteral("</body>")
                          : anchors.htmlEnd >= 0 ? QStringLiteral("</html>")
                                                 : QStringLiteral("the end of the page");

    // Insertions, by offset; at one offset they keep this order.
    QList<std::pair<qsizetype, QString>> inserts;
    if (placement.consent) {
        for (const auto &held : anchors.held)
            inserts.append(held);
        if (!anchors.held.isEmpty())
            result.changes.append(QStringLiteral("%1 scripts or iframes held until consent")
                                      .arg(anchors.held.size()));
    }
    if (!placement.links.isEmpty() || placement.consent) {
        const qsizetype at = anchors.footerEnd >= 0 ? anchors.footerEnd : bodyEnd;
        inserts.append({at, linksBlock(placement, prefix, eol)});
        result.changes.append(anchors.footerEnd >= 0 ? QStringLiteral("links in <footer>")
                                                     : QStringLiteral("links before ") + where);
    }
    if (placement.consent) {
        inserts.append({bodyEnd, consentBlock(placement, prefix, eol)});
        result.changes.append(QStringLiteral("consent banner before ") + where);
    }
    std::stable_sort(inserts.begin(), inserts.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });

    QByteArray out;
    out.reserve(page.size() + 4096);
    qsizetype at = 0;
    for (const auto &[offset, text] : inserts) {
        out.append(QByteArrayView(page).sliced(at, offset - at));
        out.append(TextCodec::encode(text, sniffed.encoding));
        at = offset;
    }
    out.append(QByteArrayView(page).sliced(at));

    if (out == current) {
        result.outcome = Result::Unchanged;
        result.changes.clear();
        return result;
    }
    result.outcome = Result::Changed;
    result.bytes = std::move(out);
    return result;
}

} // namespace PageEdit
