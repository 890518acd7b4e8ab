#pragma once

#include <QString>

// What the command line prints. Standard output carries only what a command produces (a list, the
// link code); everything said about a run goes to standard error.
namespace Console {

void out(const QString &text);
// Standard output that was closed when the program started is kept closed to files the program
// opens (it leads to /dev/null), and anything printed to it counts as not written. Call first.
void guardOutput();
// Flushes and closes standard output. False, with the reason, when anything printed there was not
// written: a full disk, /dev/full, a closed output.
bool closeOutput(QString *reason);
// The text with control characters (a line feed, an escape, ...) written as "\n", "\x1b", as ls
// does, so a file name cannot act on the terminal.
QString escaped(const QString &text);
void err(const QString &text);
// From now on, standard error shows path (at the start of a path) as shown.
void showPathAs(const QString &path, const QString &shown);
// One line on standard error, "clausewright: " first.
void say(const QString &line);

// A one-line "n of N" counter on standard error, shown only when it is a terminal and redrawn at
// most twenty times a second; clearProgress() wipes it before other lines are printed.
void progress(int done, int total);
void clearProgress();

} // namespace Console
