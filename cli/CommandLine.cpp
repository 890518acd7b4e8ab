#include "cli/CommandLine.h"

#include "cli/ArticlesCommand.h"
#include "cli/Console.h"
#include "cli/FactsCommand.h"
#include "cli/PagesCommand.h"
#include "cli/ScanCommand.h"
#include "controllib/TextCodec.h"
#include "core/LocalPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace CommandLine {

namespace {

QString overview() {
    return QStringLiteral(
        "Usage: clausewright [COMMAND [OPTIONS]]\n"
        "\n"
        "Adds legal texts to articles and web sites. Without a command it opens its main menu;\n"
        "with one it works from the command line and needs no display.\n"
        "\n"
        "Commands:\n"
        "  articles FOLDER   add a recommendation and disclaimers to every article (*.txt) of\n"
        "                    FOLDER, written into FOLDER/rewritten_files\n"
        "  articles --list-disclaimers\n"
        "                    list the disclaimers that --disclaimer can name\n"
        "  pages SITE_FOLDER write legal pages into a web site's folder and print the link code\n"
        "                    for its home page; put links and a consent banner into the\n"
        "                    site's own pages, or take them out again\n"
        "  pages --list-pages\n"
        "                    list the pages that --page can name\n"
        "  scan SITE         list the third-party services the pages of a web site load or\n"
        "                    link to, with the files where each was found\n"
        "  facts SITE        print a complete site facts file for the site: its questions, the\n"
        "                    answers of --facts FILE and the services a scan of the site finds\n"
        "\n"
        "Options:\n"
        "  -h, --help        show this help; COMMAND --help shows the command's options\n"
        "  -v, --version     show the version\n"
        "\n"
        "Exit status: 0 when everything was written, 1 when some articles or pages failed,\n"
        "were kept as edited, or standard output could not be written, 2 for a usage error\n"
        "or a refused run (then nothing is written), 130 when stopped with Ctrl+C.\n");
}

// The options QGuiApplication and QApplication take for themselves: with a value, and without.
const QStringList QtOptionsWithValue{"platform",
                                     "platformpluginpath",
                                     "platformtheme",
                                     "plugin",
                                     "qwindowgeometry",
                                     "qwindowicon",
                                     "qwindowtitle",
                                     "display",
                                     "geometry",
                                     "title",
                                     "icon",
                                     "style",
                                     "stylesheet",
                                     "session",
                                     "name",
                                     "qmljsdebugger"};
const QStringList QtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

int dispatch(const QStringList &arguments) {
    const QString first = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        Console::out(overview());
        return Done;
    }
    if (first == QLatin1String("--version") || first == QLatin1String("-v")) {
        Console::out(
            QStringLiteral("clausewright %1\n").arg(QCoreApplication::applicationVersion()));
        return Done;
    }
    if (first == QLatin1String("articles"))
        return ArticlesCommand::run(rest);
    if (first == QLatin1String("pages"))
        return PagesCommand::run(rest);
    if (first == QLatin1String("scan"))
        return ScanCommand::run(rest);
    if (first == QLatin1String("facts"))
        return FactsCommand::run(rest);
    return usageError(QString(), first.startsWith(QLatin1Char('-'))
                                     ? QStringLiteral("unknown option '%1'").arg(first)
                                     : QStringLiteral("unknown command '%1'").arg(first));
}

} // namespace

bool isCommand(const QStringList &arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString option = arguments.at(i);
        // Qt reads "-style", "--style", "-style=fusion" and "--style=fusion" alike.
        if (!option.startsWith(QLatin1Char('-')) || option == QLatin1String("--"))
            return true;
        option = option.mid(option.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            if (!QtOptionsWithValue.contains(option.left(equals)))
                return true;
        } else if (QtOptionsWithValue.contains(option)) {
            if (++i >= arguments.size())
                return true; // Qt's option without its value: a usage error
        } else if (!QtFlags.contains(option)) {
            return true;
        }
    }
    return false;
}

int run(const QStringList &arguments) {
    Console::guardOutput();
    const int status = dispatch(arguments);
    QString reason;
    if (Console::closeOutput(&reason))
        return status;
    Console::say(QStringLiteral("standard output could not be written (%1).").arg(reason));
    return status == Done ? SomeFailed : status;
}

int usageError(const QString &command, const QString &problem) {
    const QString help = command.isEmpty() ? QStringLiteral("clausewright --help")
                                           : QStringLiteral("clausewright %1 --help").arg(command);
    // Qt's own parse errors end in a full stop already.
    const QString said = problem.endsWith(QLatin1Char('.')) ? problem.chopped(1) : problem;
    Console::say(said + QStringLiteral(". See '%1'.").arg(help));
    return Refused;
}

std::optional<int> parse(QCommandLineParser &parser, const QString &command,
                         const QStringList &arguments, const QString &usage) {
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("clausewright ") + command} + arguments))
        return usageError(command, parser.errorText());
    if (!parser.isSet(help))
        return std::nullopt;
    // Qt's first line names the program by its path and knows no commands: ours replaces it.
    Console::out(usage + QLatin1Char('\n') + parser.helpText().section(QLatin1Char('\n'), 1));
    return Done;
}

int refused(const UserMessage &message) {
    Console::err(message.title + QStringLiteral(": ") + message.text + QLatin1Char('\n'));
    return Refused;
}

std::optional<QString> choose(const QList<CatalogueEntry> &catalogue, const QStringList &names,
                              QList<CatalogueEntry> &chosen) {
    QList<bool> wanted(catalogue.size(), false);
    for (const QString &name : names) {
        bool found = false;
        for (qsizetype i = 0; i < catalogue.size(); ++i) {
            const CatalogueEntry &entry = catalogue.at(i);
            if (entry.displayName.compare(name, Qt::CaseInsensitive) == 0 ||
                QFileInfo(entry.filePath).fileName().compare(name, Qt::CaseInsensitive) == 0)
                wanted[i] = found = true;
        }
        if (!found)
            return name;
    }
    for (qsizetype i = 0; i < catalogue.size(); ++i) {
        if (wanted.at(i))
            chosen.append(catalogue.at(i));
    }
    return std::nullopt;
}

int listCatalogue(const QList<CatalogueEntry> &catalogue) {
    for (const CatalogueEntry &entry : catalogue)
        Console::out(entry.displayName + QLatin1Char('\t') + QFileInfo(entry.filePath).fileName() +
                     QLatin1Char('\n'));
    return Done;
}

QString folderPath(const QString &argument) {
#ifdef Q_OS_LINUX
    if (!argument.contains(QChar::ReplacementCharacter))
        return argument;
    QFile file(QStringLiteral("/proc/self/cmdline"));
    if (!file.open(QIODevice::ReadOnly))
        return argument;
    for (const QByteArray &raw : file.readAll().split('\0')) {
        if (TextCodec::isValidUtf8(raw) || QString::fromLocal8Bit(raw) != argument)
            continue;
        const QString path = LocalPath::openable(raw);
        if (path.isEmpty())
            break;
        Console::showPathAs(path, QDir::cleanPath(QDir(argument).absolutePath()));
        return path;
    }
#endif
    return argument;
}

QString folderProblem(const QStringList &positional, const QString &what) {
    if (positional.isEmpty())
        return what + QStringLiteral(" is missing");
    if (positional.size() > 1)
        return QStringLiteral("only one folder, please: ") + what;
    struct stat info {};
    const QString folder = folderPath(positional.first());
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0 && errno != ENOENT &&
        errno != ENOTDIR)
        return QStringLiteral("%1 cannot be opened (%2)")
            .arg(Console::escaped(positional.first()),
                 QString::fromLocal8Bit(std::strerror(errno)));
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("%1 is not a folder").arg(Console::escaped(positional.first()));
    return QString();
}

QString missingDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return QString();
    }
    return QStringLiteral("clausewright: no display was found, so the windows cannot open.\n"
                          "From a terminal without a display (over SSH, say), give a command:\n"
                          "see 'clausewright --help'.\n");
#else
    return QString();
#endif
}

QString dataFolder(const QString &option) {
    return option.isEmpty() ? QCoreApplication::applicationDirPath()
                            : QDir::cleanPath(QDir(option).absolutePath());
}

} // namespace CommandLine
