#pragma once

#include <QByteArray>
#include <QString>

// Writes one output article so that it is either all there or not there at all: the bytes go to
// a new temporary file beside the target, which is then renamed over it. A run that is cut off
// leaves the old file, or none, and at worst a stray temporary file, never half an article.
// Unlike QSaveFile it does not force each file to disk: over thousands of articles that costs
// twenty times the work itself.
namespace ArticleFile {

// The whole content of a file, opened for reading only. Returns false with a reason when it
// cannot be read.
bool read(QByteArray &bytes, const QString &path, QString *error = nullptr);
bool write(const QByteArray &bytes, const QString &path, QString *error = nullptr);

} // namespace ArticleFile
