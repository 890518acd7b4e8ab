#pragma once

#include <QByteArray>
#include <QString>

// Small helpers for tests that work on real files.
namespace TestData {

// Writes bytes to dir/name (making folders on the way) and returns the full path.
QString write(const QString &dir, const QString &name, const QByteArray &bytes);
QByteArray read(const QString &path);
// Copies the shipped data files (templates/ and rwdb.txt) into folder, to serve as a program
// folder that a test may change.
void copyProgramData(const QString &folder);

} // namespace TestData
