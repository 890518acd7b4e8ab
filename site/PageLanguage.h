#pragma once

#include "site/FactCondition.h"
#include "site/Facts.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The template language of the legal pages (site/README.md): a page template's text with its
// marks worked out on the site's facts. The four old placeholders ([sitename], [siteurl],
// [email], [date]) are not marks of this language: they pass through for the page format to fill,
// so a template that uses none of the marks comes out exactly as it went in.
//
// A mark that stands alone on its line ([if ...], [elif ...], [else], [end], [review],
// [/review], [list ...], [table ...]) takes its whole line with it, so the page holds no blank
// line where it was (a list or a table ends its own last line).
namespace PageLanguage {

struct PageLink {
    QString href;  // "privacy-policy.html"
    QString title; // "Privacy Policy"
};

struct Context {
    FactCondition::World world; // the facts, the pages there and the catalogue's answers
    // The link to page NAME when it is written in this run or already in the site.
    std::function<std::optional<PageLink>(const QString &name)> page;
    // The HTML of "[list CATEGORY]" and "[table NAME]" for the services the facts name. A list
    // needs its services.CATEGORY, a table every services.* list ("[table processing]" also
    // consent.tool); the text is used only once they are known. Nothing when there is no such
    // table.
    std::function<QString(const QString &category)> list;
    std::function<std::optional<QString>(const QString &table)> table;
    bool draft = false; // an open fact shows as "[CHECK: question]" instead of refusing the page
};

struct Rendered {
    QString text;
    QStringList missing; // the open facts the page needs, by key, in order of first use
    QStringList review;  // the notes of [review] ... [/review], one per non-empty line
    QStringList errors;  // faults of the template itself, "line N: ..."
};

Rendered render(const QString &templateText, const Context &context);

// "[CHECK: question]", where a draft shows an open fact.
QString checkMark(const QString &key);

} // namespace PageLanguage
