#include "cli/FactsCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "site/FactCheck.h"
#include "site/FactsFile.h"
#include "site/ServiceCatalogue.h"
#include "site/SiteScan.h"

#include <QCommandLineParser>

namespace FactsCommand {

bool load(const QString &path, Facts &facts) {
    QString error;
    QStringList warnings;
    if (!FactsFile::load(path, facts, &error, &warnings)) {
        Console::say(error);
        return false;
    }
    for (const QString &warning : std::as_const(warnings))
        Console::say(QStringLiteral("warning: ") + warning);
    return true;
}

int run(const QStringList &arguments) {
    const QString command = QStringLiteral("facts");
    const QCommandLineOption factsOption(QStringLiteral("facts"),
                                         QStringLiteral("Take the answers this facts file gives."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("The folder holding templates/ (default: the "
                                                 "program's own)."),
                                  QStringLiteral("DIR"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints a complete site facts file on standard output: every question as a\n"
        "comment above its answer, taken from --facts FILE where it gives one, else\n"
        "from a scan of SITE_FOLDER (the services it uses), else left open (\"\")."));
    parser.addOptions({factsOption, data});
    parser.addPositionalArgument(QStringLiteral("SITE_FOLDER"),
                                 QStringLiteral("The folder of the web site."));
    if (const auto ended =
            CommandLine::parse(parser, command, arguments,
                               QStringLiteral("Usage: clausewright facts [options] SITE_FOLDER")))
        return *ended;
    const QStringList positional = parser.positionalArguments();
    if (const QString problem =
            CommandLine::folderProblem(positional, QStringLiteral("the site's folder"));
        !problem.isEmpty())
        return CommandLine::usageError(command, problem);

    Facts facts;
    if (parser.isSet(factsOption) && !load(parser.value(factsOption), facts))
        return CommandLine::Refused;
    const ServiceCatalogue catalogue = ServiceCatalogue::load(
        ServiceCatalogue::folderIn(CommandLine::dataFolder(parser.value(data))));
    for (const QString &error : catalogue.errors())
        Console::say(QStringLiteral("warning: ") + error);
    const SiteScanResult scan = SiteScan::scan(positional.first(), catalogue);
    for (const FactCheck::Contradiction &c : FactCheck::contradictions(facts, scan, catalogue))
        Console::say(QStringLiteral("warning: ") + c.text + QLatin1Char('.'));
    Console::out(FactsFile::write(FactCheck::prefilled(facts, scan, catalogue),
                                  FactCheck::scanNotes(scan, catalogue)));
    return CommandLine::Done;
}

} // namespace FactsCommand
