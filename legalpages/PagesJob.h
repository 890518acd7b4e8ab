#pragma once

#include "core/Catalogue.h"
#include "core/UserMessage.h"
#include "legalpages/SiteFacts.h"
#include "site/PageLayout.h"

#include <QDate>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// Everything one run of the legal pages job needs, taken from whoever asks for it (the window or
// the command line) when the run starts.
struct PagesJob {
    QString pagesFolder;         // the program folder + "/templates/pages"
    QString siteFolder;          // where the pages are written
    QList<CatalogueEntry> pages; // the pages to make, in catalogue order
    SiteFacts site;
    QDate date; // the day put in for "[date]"
    // A page of the site whose look the pages take, or none: the HTML page template's look.
    std::shared_ptr<const PageLayout> layout = nullptr;

    // The checks of the inputs, in their order: the first that fails, or nothing. Empty means the
    // empty text; blanks count as filled. Then the address must be http or https with a host, and
    // the e-mail must look like an address.
    std::optional<UserMessage> refusal() const;
};
