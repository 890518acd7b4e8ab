#include "cli/PagesCommand.h"

#include "cli/CommandLine.h"

namespace PagesCommand {

int run(const QStringList &arguments) {
    Q_UNUSED(arguments);
    return CommandLine::usageError(QStringLiteral("pages"), QStringLiteral("not yet"));
}

} // namespace PagesCommand
