#include "bulk/SponsorQuestion.h"

namespace SponsorQuestion {

namespace {

QString listed(const QStringList &names) {
    return QStringLiteral("\"") + names.join(QStringLiteral("\", \"")) + QStringLiteral("\"");
}

} // namespace

QString title() {
    return QStringLiteral("Sponsor");
}

QString prompt(const QStringList &names) {
    return QStringLiteral("The disclaimer %1 names the sponsor: the company that paid for the "
                          "article or gave the product.\n\nSponsor's name:")
        .arg(listed(names));
}

QString missing(const QStringList &names) {
    return QStringLiteral("The disclaimer %1 names the sponsor, but no sponsor was given.\n\nGive "
                          "the sponsor's name, or untick the disclaimer. No article was written.")
        .arg(listed(names));
}

} // namespace SponsorQuestion
