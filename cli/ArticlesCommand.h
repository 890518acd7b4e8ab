#pragma once

#include <QStringList>

// clausewright articles FOLDER [--benefit TEXT --url URL --link-text TEXTS] [--no-before]
//     [--no-after] [--center-before] [--center-after] [--disclaimer NAME]... [--seed N]
//     [--dry-run] [--verbose] [--data DIR]
// clausewright articles --list-disclaimers [--data DIR]
//
// The bulk job of the window, on the same core: the same checks, the same log lines, the same
// bytes for the same draws.
namespace ArticlesCommand {

// arguments: what follows "articles".
int run(const QStringList &arguments);

} // namespace ArticlesCommand
