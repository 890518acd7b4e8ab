#pragma once

#include <QString>

// What the command line prints. Standard output carries only what a command produces (a list, the
// link code); everything said about a run goes to standard error.
namespace Console {

void out(const QString &text);
void err(const QString &text);
// One line on standard error, "clausewright: " first.
void say(const QString &line);

// A one-line "n of N" counter on standard error, shown only when it is a terminal and redrawn at
// most twenty times a second; clearProgress() wipes it before other lines are printed.
void progress(int done, int total);
void clearProgress();

} // namespace Console
