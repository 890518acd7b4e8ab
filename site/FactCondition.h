#pragma once

#include "site/Facts.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The conditions of the pages' "[if COND]" marks, on the site's facts:
//   KEY                 true when the fact is true, a text other than "none", a non-empty list
//   KEY = word, KEY != word   the fact's text is (not) the word; "quoted words" may hold blanks
//   service:ID          the site uses that service (it is in one of the services.* lists)
//   category:NAME       the site uses a service of that category
//   sells:california    a service the site uses is a "sale" or "sharing" in California terms
//   page:NAME           page NAME is written in this run or already in the site
//   not C, C and C, C or C, ( C )    ("not" binds tightest, then "and", then "or")
// A condition whose answer needs an open fact is unknown and names the facts it needs; one whose
// answer is settled without them ("false and X") needs none of them.
namespace FactCondition {

// What the conditions look at besides the facts.
struct World {
    const Facts *facts = nullptr;
    std::function<bool(const QString &page)> pagePresent;
    // The catalogue's category of a service id, "" when the catalogue has no such service.
    std::function<QString(const QString &id)> categoryOf;
    std::function<bool(const QString &id)> sellsInCalifornia;
};

struct Result {
    std::optional<bool> value; // nothing when an open fact decides it
    QStringList missing;       // the open facts it needs, when value is nothing
    QString error;             // a condition that is not well formed; value is nothing then
};

Result evaluate(const QString &condition, const World &world);

} // namespace FactCondition
