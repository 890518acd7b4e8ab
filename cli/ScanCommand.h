#pragma once

#include <QStringList>

// clausewright scan SITE [--json] [--data DIR]
namespace ScanCommand {

// arguments: what follows "scan".
int run(const QStringList &arguments);

} // namespace ScanCommand
