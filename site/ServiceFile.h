#pragma once

#include "site/Service.h"

#include <QByteArray>
#include <QString>

#include <optional>

// One service file of the catalogue (templates/services/ID.toml), read and checked key by key.
namespace ServiceFile {

// The service the file's text describes; nullopt with "FILE:LINE:COL: message" in error when the
// text is no valid TOML, a key is missing, unknown or of the wrong type, or a rule is malformed.
std::optional<Service> parse(const QByteArray &text, const QString &id, const QString &fileName,
                             QString *error);

} // namespace ServiceFile
