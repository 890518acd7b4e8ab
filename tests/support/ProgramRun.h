#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// The real program run from a test, as a script would run it.
namespace ProgramRun {

struct Result {
    int status = -1; // -1 when it did not end within a minute or crashed
    QString out, err;
};

// The built clausewright with these arguments, with no display in its environment at all.
Result command(const QStringList &arguments);

// Every file below folder, hidden ones too, as relative path and bytes.
QMap<QString, QByteArray> tree(const QString &folder);

} // namespace ProgramRun
