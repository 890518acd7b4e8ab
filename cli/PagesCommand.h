#pragma once

#include <QStringList>

// clausewright pages SITE_FOLDER (--page NAME... | --all) --site-name TEXT --site-url URL
//     --email ADDRESS [--facts FILE [--draft]] [--verbose] [--dry-run] [--data DIR]
// clausewright pages --list-pages [--data DIR]
namespace PagesCommand {

// arguments: what follows "pages".
int run(const QStringList &arguments);

} // namespace PagesCommand
