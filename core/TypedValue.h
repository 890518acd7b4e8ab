#pragma once

#include <QString>

// What a user types into the windows or passes on the command line, checked before it is used and
// made safe where it goes into HTML.
namespace TypedValue {

// An address a browser can open from anywhere: http or https, with a host name. Mark-up
// characters in it are no reason to refuse it: they are escaped where it goes.
bool isWebAddress(const QString &text);
// Looks like an e-mail address: one "@" with something before it and a host name with a dot
// after it, and no blank or mark-up character anywhere.
bool isEmailAddress(const QString &text);
// The text with "&", "<", ">" and '"' written as character references, so that it stays text in
// an element and in a quoted attribute. Any other text comes back as it is.
QString htmlEscaped(const QString &text);

} // namespace TypedValue
