#pragma once

#include <QString>

// The letter case under which catalogue files are listed: every letter is lowered, then each of
// the letters a to z that does not follow another of a to z is raised. Only a to z are ever
// raised; any other character (blank, digit, "-", "'", an accented letter) ends a word.
// "TERMS OF USE" -> "Terms Of Use", "don't" -> "Don'T", "ÉTÉ" -> "éTé".
QString TitleCase(const QString &text);
