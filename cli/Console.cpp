#include "cli/Console.h"

#include <QElapsedTimer>

#include <cstdio>
#include <unistd.h>

namespace Console {

namespace {

bool g_progressShown = false;

void write(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void out(const QString &text) {
    write(stdout, text);
}

void err(const QString &text) {
    clearProgress();
    write(stderr, text);
}

void say(const QString &line) {
    err(QStringLiteral("clausewright: ") + line + QLatin1Char('\n'));
}

void progress(int done, int total) {
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    static QElapsedTimer sinceDrawn;
    if (!terminal || (sinceDrawn.isValid() && !sinceDrawn.hasExpired(50) && done < total))
        return;
    sinceDrawn.start();
    write(stderr, QStringLiteral("\r%1 of %2").arg(done).arg(total));
    g_progressShown = true;
}

void clearProgress() {
    if (!g_progressShown)
        return;
    g_progressShown = false;
    write(stderr, QStringLiteral("\r\033[K"));
}

} // namespace Console
