#include "cli/SiteCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "controllib/QkFile.h"
#include "legalpages/SitePlacement.h"
#include "site/FactsFile.h"

namespace SiteCommand {

namespace {

int report(const QString &siteFolder, const SitePlacement::Outcome &outcome, bool dryRun,
           const QString &done, bool removing) {
    if (!outcome.refusal.isEmpty()) {
        Console::say(outcome.refusal);
        return CommandLine::Refused;
    }
    if (dryRun && !removing)
        for (const QString &file : outcome.files)
            Console::err(QStringLiteral("would write ") + file + QLatin1Char('\n'));
    for (const QString &line : outcome.said)
        Console::say(line);
    const SiteEditor::Summary &s = outcome.summary;
    Console::say(QStringLiteral("%1 of %2 pages of %3 %4 (%5 unchanged, %6 left alone, %7 "
                                "failed).")
                     .arg(s.changed)
                     .arg(s.changed + s.unchanged + s.refused + s.failed)
                     .arg(siteFolder, dryRun ? QStringLiteral("would change") : done)
                     .arg(s.unchanged)
                     .arg(s.refused)
                     .arg(s.failed));
    if (removing)
        for (const QString &file : outcome.files)
            Console::err((dryRun ? QStringLiteral("would remove ") : QStringLiteral("removed ")) +
                         file + QLatin1Char('\n'));
    if (!outcome.failure.isEmpty())
        Console::say(outcome.failure);
    return outcome.failed() ? CommandLine::SomeFailed : CommandLine::Done;
}

} // namespace

Placing Placing::from(const Facts &facts) {
    Placing placing;
    placing.links = facts.flag(QStringLiteral("place.links"));
    placing.layout = facts.text(QStringLiteral("place.layout"));
    placing.consent = facts.flag(QStringLiteral("place.consent"));
    return placing;
}

bool record(const QString &path, Facts facts, const Placing &placing) {
    facts = SitePlacement::withPlacement(facts, placing.links, placing.layout, placing.consent);
    QString reason;
    if (QkFile::writeBytes(FactsFile::write(facts).toUtf8(), path, &reason))
        return true;
    Console::say(QStringLiteral("the facts file %1 cannot be written (%2).").arg(path, reason));
    return false;
}

int place(const QString &siteFolder, const QList<CatalogueEntry> &catalogue,
          const QStringList &coming, const Placing &placing, bool dryRun, const Facts &facts,
          const QString &dataFolder) {
    const SitePlacement::Outcome outcome = SitePlacement::place(
        {siteFolder, catalogue, coming, placing.links, placing.consent, facts, dataFolder, dryRun});
    return report(siteFolder, outcome, dryRun,
                  placing.consent ? QStringLiteral("now wait for consent")
                                  : QStringLiteral("now link to the legal pages"),
                  false);
}

int remove(const QString &siteFolder, bool dryRun) {
    return report(siteFolder, SitePlacement::remove(siteFolder, dryRun), dryRun,
                  QStringLiteral("are back as they were"), true);
}

} // namespace SiteCommand
