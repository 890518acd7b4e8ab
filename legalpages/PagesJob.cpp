#include "legalpages/PagesJob.h"

#include "core/TypedValue.h"

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
    if (!TypedValue::isWebAddress(site.url))
        return UserMessage{QStringLiteral("The 'Site Url' Field must hold the site's full address, "
                                          "starting with http:// or https:// and a host name (such "
                                          "as https://www.example.com)."),
                           QStringLiteral("Error")};
    if (!TypedValue::isEmailAddress(site.email))
        return UserMessage{QStringLiteral("The 'e-mail' Field must hold an e-mail address (such as "
                                          "info@example.com)."),
                           QStringLiteral("Error")};
    return std::nullopt;
}
