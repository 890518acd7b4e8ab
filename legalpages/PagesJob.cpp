#include "legalpages/PagesJob.h"

std::optional<UserMessage> PagesJob::refusal() const {
    const QString missing = QStringLiteral("Missing Info");
    if (pages.isEmpty())
        return UserMessage{QStringLiteral("Please select at least 1 legal page to add."),
                           QStringLiteral("No Page Selected")};
    if (site.name.isEmpty())
        return UserMessage{QStringLiteral("Missing Info: 'Site Name' Field is Empty."), missing};
    if (site.url.isEmpty())
        return UserMessage{QStringLiteral("Missing Info: 'Site Url' Field is Empty."), missing};
    if (site.email.isEmpty())
        return UserMessage{QStringLiteral("Missing Info: 'e-mail' Field is Empty."), missing};
    return std::nullopt;
}
