#pragma once

#include "site/Facts.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// The site facts file: plain TOML, one table per part of the key ("[operator]" holds
// "legal_name"), every question written as a comment above its answer. An answer of "" is an
// open question, whatever the key's kind.
namespace FactsFile {

// Reads the facts in the TOML text; fileName only names the file in messages. Returns false with
// "FILE:LINE:COL: message" when the text is not TOML or an answer has the wrong kind (a text where
// true or false belongs, say); facts are left as they were then. A key no question asks is left
// out with a warning of the same form.
bool parse(const QByteArray &toml, const QString &fileName, Facts &facts, QString *error,
           QStringList *warnings = nullptr);
// parse() on the file at path; a file that cannot be read is "FILE: reason".
bool load(const QString &path, Facts &facts, QString *error, QStringList *warnings = nullptr);

// The complete file: every question, each with its answer from facts or "" when open. notes adds
// comment lines under a key's question ("the scan found ...").
QString write(const Facts &facts, const QMap<QString, QStringList> &notes = {});

// Where the window saves a site's facts by default: beside the site folder, never inside what is
// published: /srv/www/public -> /srv/www/public-legal-facts.toml. A folder name that is not UTF-8
// gives the file its name as shown, with a replacement character for each such byte.
QString defaultPath(const QString &siteFolder);

} // namespace FactsFile
