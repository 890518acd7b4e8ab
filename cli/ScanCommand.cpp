#include "cli/ScanCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "site/ServiceCatalogue.h"
#include "site/SiteScan.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace ScanCommand {

namespace {

const QString kCommand = QStringLiteral("scan");

// The services found, by the catalogue's order of categories, then by id.
QList<const Service *> found(const SiteScanResult &result, const ServiceCatalogue &catalogue) {
    QList<const Service *> services;
    for (auto it = result.found.cbegin(); it != result.found.cend(); ++it) {
        if (const Service *s = catalogue.find(it.key()))
            services.append(s);
    }
    const QStringList &order = ServiceCatalogue::categories();
    std::stable_sort(services.begin(), services.end(), [&](const Service *a, const Service *b) {
        return order.indexOf(a->category) < order.indexOf(b->category);
    });
    return services;
}

QString json(const QList<const Service *> &services, const SiteScanResult &result) {
    QJsonArray list;
    for (const Service *s : services)
        list.append(QJsonObject{
            {QStringLiteral("id"), s->id},
            {QStringLiteral("name"), s->name},
            {QStringLiteral("company"), s->company},
            {QStringLiteral("category"), s->category},
            {QStringLiteral("files"), QJsonArray::fromStringList(result.found.value(s->id))}});
    return QString::fromUtf8(
        QJsonDocument(QJsonObject{{QStringLiteral("services"), list}}).toJson());
}

QString text(const QList<const Service *> &services, const SiteScanResult &result) {
    QString out;
    for (const Service *s : services) {
        const QStringList files = result.found.value(s->id);
        out += QStringLiteral("%1 (%2, %3): %4, in %5 %6\n")
                   .arg(s->name, s->id, s->category, s->company)
                   .arg(files.size())
                   .arg(files.size() == 1 ? QStringLiteral("file") : QStringLiteral("files"));
        for (const QString &file : files)
            out += QStringLiteral("    ") + file + QLatin1Char('\n');
    }
    return out;
}

} // namespace

int run(const QStringList &arguments) {
    const QCommandLineOption asJson(
        QStringLiteral("json"),
        QStringLiteral("Print {\"services\": [{\"id\", \"name\", \"company\", \"category\", "
                       "\"files\": [...]}]} instead of the list."));
    const QCommandLineOption data(
        QStringLiteral("data"),
        QStringLiteral("The folder holding templates/services/ (default: the program's own)."),
        QStringLiteral("DIR"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the third-party services that the pages and templates in SITE load or link to\n"
        "(analytics, advertising, affiliate links, embeds, forms, fonts, ...), each with its\n"
        "category and the files where it was found. Text that merely names a service does\n"
        "not count."));
    parser.addOptions({asJson, data});
    parser.addPositionalArgument(QStringLiteral("SITE"),
                                 QStringLiteral("The folder of the web site, or of its source."));
    if (const auto ended = CommandLine::parse(
            parser, kCommand, arguments, QStringLiteral("Usage: clausewright scan [options] SITE")))
        return *ended;
    if (const QString problem =
            CommandLine::folderProblem(parser.positionalArguments(), QStringLiteral("SITE"));
        !problem.isEmpty())
        return CommandLine::usageError(kCommand, problem);

    const QString folder = ServiceCatalogue::folderIn(CommandLine::dataFolder(parser.value(data)));
    const ServiceCatalogue catalogue = ServiceCatalogue::load(folder);
    if (catalogue.isEmpty()) {
        Console::say(QStringLiteral("the catalogue of services %1 holds no service it can read.")
                         .arg(folder));
        for (const QString &error : catalogue.errors())
            Console::err(error + QLatin1Char('\n'));
        return CommandLine::Refused;
    }
    for (const QString &error : catalogue.errors())
        Console::err(error + QLatin1Char('\n'));

    const QString site =
        QDir::cleanPath(QFileInfo(parser.positionalArguments().first()).absoluteFilePath());
    const SiteScanResult result = SiteScan::scan(site, catalogue);
    const QList<const Service *> services = found(result, catalogue);
    Console::out(parser.isSet(asJson) ? json(services, result) : text(services, result));
    for (const SiteScanResult::Problem &problem : result.unreadable)
        Console::say(QStringLiteral("%1 could not be read: %2.").arg(problem.path, problem.reason));
    Console::say(QStringLiteral("%1 services found in %2 files read.")
                     .arg(services.size())
                     .arg(result.filesRead));
    return result.unreadable.isEmpty() && catalogue.errors().isEmpty() ? CommandLine::Done
                                                                       : CommandLine::SomeFailed;
}

} // namespace ScanCommand
