#pragma once

#include "core/Catalogue.h"
#include "core/UserMessage.h"

#include <QCommandLineParser>
#include <QList>
#include <QStringList>

#include <optional>

// The program run from a script: "clausewright articles ..." and "clausewright pages ...", on the
// same core as the windows, without a display. Exit status: 0 when everything was done, 1 when
// some articles or pages failed (each named on standard error), 2 for a usage error or a refused
// run (nothing written).
namespace CommandLine {

enum Status { Done = 0, SomeFailed = 1, Refused = 2, Interrupted = 130 };

// True when the arguments (the program first) ask for a command; false when there are none or
// only Qt's own options for the windows ("-style fusion", "-platform xcb", "--reverse", ...),
// which then start the windows.
bool isCommand(const QStringList &arguments);

// arguments as QCoreApplication::arguments() gives them, the program first.
int run(const QStringList &arguments);

// The usage error: said on standard error with a pointer to --help, then Refused.
int usageError(const QString &command, const QString &problem);
// Adds -h/--help to the command's parser and parses its arguments (what follows the command's
// name). Returns the exit status when the command ends here: a usage error, or its help printed
// (Qt's option list under the command's own usage lines); nothing when it goes on.
std::optional<int> parse(QCommandLineParser &parser, const QString &command,
                         const QStringList &arguments, const QString &usage);
// A refused run: the window's message, "Title: text", on standard error, then Refused.
int refused(const UserMessage &message);
// The catalogue entries that names name, by display name or file name (letter case aside), in
// catalogue order; or the first name that names none.
std::optional<QString> choose(const QList<CatalogueEntry> &catalogue, const QStringList &names,
                              QList<CatalogueEntry> &chosen);
// Prints the catalogue, one entry a line: its name, a tab, its file name. Returns Done.
int listCatalogue(const QList<CatalogueEntry> &catalogue);
// The path to work on for a folder argument. A name that is not UTF-8 reaches the program's
// arguments with replacement characters: the folder is then opened by its bytes as given, and
// worked on as /proc/self/fd/N, which standard error shows as the argument.
QString folderPath(const QString &argument);
// What is wrong with the command's folder argument ("the folder of articles" is `what`): missing,
// more than one, or no folder; an empty text when it names one folder.
QString folderProblem(const QStringList &positional, const QString &what);
// Before the windows open: a message saying that no display was found and how to use the command
// line instead, or an empty text when a display (or a Qt platform) is set.
QString missingDisplay();
// The folder holding templates/ and rwdb.txt: --data's value, else the program's own folder.
QString dataFolder(const QString &option);

} // namespace CommandLine
