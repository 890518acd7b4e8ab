#pragma once

#include <QString>
#include <QStringList>

// What the user is told about the sponsor's name that a ticked snippet asks for: the question the
// window asks before a run, and the refusal of a run that has no name to put in.
namespace SponsorQuestion {

QString title();
// names: the display names of the snippets that name the sponsor.
QString prompt(const QStringList &names);
QString missing(const QStringList &names);

} // namespace SponsorQuestion
