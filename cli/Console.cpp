#include "cli/Console.h"

#include <QElapsedTimer>
#include <QList>

#include <utility>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Console {

namespace {

bool g_progressShown = false;
QList<std::pair<QString, QString>> g_paths;
bool g_outputClosed = false;
int g_outputError = 0;

bool write(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    errno = 0;
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size()) &&
        std::fflush(stream) == 0;
    if (!written && stream == stdout && g_outputError == 0)
        g_outputError = errno != 0 ? errno : EIO;
    return written;
}

} // namespace

void out(const QString &text) {
    if (g_outputClosed && !text.isEmpty() && g_outputError == 0)
        g_outputError = EBADF;
    write(stdout, text);
}

void guardOutput() {
    if (::fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF)
        return;
    g_outputClosed = true;
    const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (fd >= 0 && fd != STDOUT_FILENO) {
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
}

bool closeOutput(QString *reason) {
    errno = 0;
    if (std::fflush(stdout) != 0 && g_outputError == 0)
        g_outputError = errno != 0 ? errno : EIO;
    if (std::ferror(stdout) && g_outputError == 0)
        g_outputError = EIO;
    errno = 0;
    if (std::fclose(stdout) != 0 && g_outputError == 0 && errno != EBADF)
        g_outputError = errno != 0 ? errno : EIO;
    if (g_outputError == 0)
        return true;
    *reason = QString::fromLocal8Bit(std::strerror(g_outputError));
    return false;
}

QString escaped(const QString &text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\n')
            shown += QStringLiteral("\\n");
        else if (u == '\t')
            shown += QStringLiteral("\\t");
        else if (u == '\r')
            shown += QStringLiteral("\\r");
        else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            shown += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

void showPathAs(const QString &path, const QString &shown) {
    g_paths.append({path, shown});
}

void err(const QString &text) {
    clearProgress();
    QString said = text;
    for (const auto &[path, shown] : std::as_const(g_paths))
        said.replace(path, shown);
    write(stderr, said);
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
