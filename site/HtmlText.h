#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The text of an HTML attribute value or data run as a browser reads it.
namespace HtmlText {

// Reads the character references a URL or a short text commonly holds: "&amp;", "&lt;", "&gt;",
// "&quot;", "&apos;" and numeric ones ("&#38;", "&#x26;"), written out as UTF-8. Others stay as
// they are.
QByteArray decode(QByteArrayView text);

} // namespace HtmlText
