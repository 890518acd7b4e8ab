#include "legalpages/PageReplacement.h"

#include <QCryptographicHash>

namespace PageReplacement {

namespace {

const QByteArray kOpening = "<meta name=\"generator\" content=\"Clausewright sha256:";
const QByteArray kClosing = "\">";
constexpr qsizetype kHexLength = 64;

QByteArray hashOf(const QByteArray &bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// Where the fingerprint goes, and whether a line break follows it.
qsizetype insertionPoint(const QByteArray &page, QByteArray *lineBreak) {
    const QByteArray lower = page.toLower();
    const qsizetype headEnd = lower.indexOf("</head>");
    if (headEnd >= 0) {
        if (headEnd > 0 && page.at(headEnd - 1) == '\n')
            *lineBreak = headEnd > 1 && page.at(headEnd - 2) == '\r' ? "\r\n" : "\n";
        return headEnd;
    }
    const qsizetype start = page.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (lower.mid(start, 9) == "<!doctype") {
        const qsizetype close = page.indexOf('>', start);
        if (close >= 0)
            return close + 1;
    }
    return start;
}

// Where the fingerprint element stands in page, or -1.
qsizetype findFingerprint(const QByteArray &page) {
    const qsizetype at = page.indexOf(kOpening);
    if (at < 0)
        return -1;
    const qsizetype hex = at + kOpening.size();
    if (page.size() < hex + kHexLength + kClosing.size() ||
        page.mid(hex + kHexLength, kClosing.size()) != kClosing)
        return -1;
    return at;
}

} // namespace

QByteArray withFingerprint(const QByteArray &page) {
    QByteArray lineBreak;
    const qsizetype at = insertionPoint(page, &lineBreak);
    QByteArray bare = page;
    bare.insert(at, lineBreak);
    const QByteArray element = kOpening + hashOf(bare) + kClosing;
    return bare.insert(at, element);
}

std::optional<QByteArray> withoutFingerprint(const QByteArray &page) {
    const qsizetype at = findFingerprint(page);
    if (at < 0)
        return std::nullopt;
    const qsizetype length = kOpening.size() + kHexLength + kClosing.size();
    const QByteArray written = page.mid(at + kOpening.size(), kHexLength);
    QByteArray rest = page;
    rest.remove(at, length);
    if (hashOf(rest) != written)
        return std::nullopt;
    return rest;
}

Decision decide(const std::optional<QByteArray> &onDisk, const QByteArray &toWrite) {
    if (!onDisk)
        return Decision::Write;
    if (*onDisk == toWrite)
        return Decision::Untouched;
    if (findFingerprint(*onDisk) < 0)
        return Decision::Foreign;
    return withoutFingerprint(*onDisk) ? Decision::Replace : Decision::Edited;
}

} // namespace PageReplacement
