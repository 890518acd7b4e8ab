#pragma once

#include "site/Facts.h"

#include <QStringList>

// clausewright facts SITE_FOLDER [--facts FILE] [--data DIR]
// Prints a complete site facts file on standard output: every question as a comment, each answer
// from FILE where it gives one, else from a scan of the site (the services per category), else
// open ("").
namespace FactsCommand {

// arguments: what follows "facts".
int run(const QStringList &arguments);

// Reads the facts file at path into facts; its faults and warnings are said on standard error.
// False when it cannot be used.
bool load(const QString &path, Facts &facts);

} // namespace FactsCommand
