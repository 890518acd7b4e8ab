#pragma once

#include <QByteArray>

#include <optional>

// Whether a page may replace the file of its name in the site folder, from the bytes alone.
//
// Every page the program writes carries a fingerprint: one element in its head,
//   <meta name="generator" content="Clausewright sha256:HEX">
// where HEX is the SHA-256 of the page's bytes without that element. A page whose fingerprint
// still matches its bytes is ours and unchanged since we wrote it; one whose fingerprint does not
// match was edited since; one without a fingerprint is not ours.
namespace PageReplacement {

enum class Decision {
    Write,     // nothing there yet
    Untouched, // the very bytes that would be written: leave the file alone, its time included
    Replace,   // ours and unchanged since we wrote it
    Edited,    // ours, but edited since: ask (window) or keep (command line)
    Foreign,   // not written by the program: ask or keep, as for an edited page
};

// page with its fingerprint put in: before "</head>" (on a line of its own when "</head>" starts a
// line), else after a "<!DOCTYPE ...>" that starts the page, else first (after a byte order mark).
QByteArray withFingerprint(const QByteArray &page);

// page without its fingerprint element, as it was hashed; nothing when it has none or the
// fingerprint does not match (edited since).
std::optional<QByteArray> withoutFingerprint(const QByteArray &page);

// What to do with onDisk (nothing when no file is there) when toWrite, fingerprinted, would be
// written in its place.
Decision decide(const std::optional<QByteArray> &onDisk, const QByteArray &toWrite);

// Whether the decision needs the user's word before the file is replaced.
inline bool needsConsent(Decision decision) {
    return decision == Decision::Edited || decision == Decision::Foreign;
}

} // namespace PageReplacement
