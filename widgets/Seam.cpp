#include "widgets/Seam.h"

#include "controllib/RandomSource.h"
#include "controllib/TextCodec.h"
#include "core/LocalPath.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include <utility>

namespace {

struct SeamState {
    bool recording = false;
    bool answer = false;
    int choice = -1;
    QString textAnswer;
    QList<Seam::Message> messages;
    std::function<bool(const QString &)> opener;
    RandomSource *random = nullptr;
    QString programFolder;
    std::function<void()> ender;
    std::function<QString(const QString &)> saveChooser;
};

SeamState &state() {
    static SeamState s;
    return s;
}

bool openWithDesktop(const QString &folder, std::function<void()> failedLater) {
    if (!QFileInfo(folder).isDir())
        return false;
    // A folder whose name is not UTF-8 is named to the file manager by its bytes.
    const QByteArray local = LocalPath::local(QDir(folder).absolutePath());
    const QUrl url = TextCodec::isValidUtf8(local)
                         ? QUrl::fromLocalFile(QDir(folder).absolutePath())
                         : QUrl::fromEncoded("file://" + local.toPercentEncoding("/"));
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty())
        return QDesktopServices::openUrl(url);
    // xdg-open as Qt starts it, but watched: it fails with a status when no file manager can be
    // found, where Qt would report success. No parent and no pipes: a file manager it leaves
    // running outlives the program.
    auto *process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, failedLater](int status, QProcess::ExitStatus how) {
                         process->deleteLater();
                         if ((status != 0 || how != QProcess::NormalExit) && failedLater)
                             failedLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failedLater](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         if (failedLater)
                             failedLater();
                     });
    process->start(xdgOpen, {url.toString(QUrl::FullyEncoded)});
    return true;
}

} // namespace

void Seam::information(QWidget *parent, const QString &text, const QString &title) {
    if (state().recording) {
        state().messages.append({text, title});
        return;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool Seam::question(QWidget *parent, const QString &text, const QString &title) {
    if (state().recording) {
        state().messages.append({text, title});
        return state().answer;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int Seam::choose(QWidget *parent, const QString &text, const QString &title,
                 const QStringList &buttons) {
    const int last = int(buttons.size()) - 1;
    if (state().recording) {
        state().messages.append({text, title});
        const int choice = state().choice;
        return choice >= 0 && choice <= last ? choice : last;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> made;
    for (const QString &caption : buttons)
        made.append(box.addButton(caption, made.isEmpty() ? QMessageBox::AcceptRole
                                                          : QMessageBox::RejectRole));
    if (!made.isEmpty()) {
        box.setEscapeButton(made.at(last));
        box.setDefaultButton(qobject_cast<QPushButton *>(made.at(qMin(1, last))));
    }
    box.exec();
    const int pressed = int(made.indexOf(box.clickedButton()));
    return pressed >= 0 ? pressed : last;
}

void Seam::setChoice(int index) {
    state().choice = index;
}

std::optional<QString> Seam::askText(QWidget *parent, const QString &text, const QString &title,
                                     const QString &initial) {
    if (state().recording) {
        state().messages.append({text, title});
        return state().answer ? std::optional<QString>(state().textAnswer) : std::nullopt;
    }
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, text, QLineEdit::Normal, initial, &ok);
    return ok ? std::optional<QString>(answer) : std::nullopt;
}

void Seam::setTextAnswer(const QString &answer) {
    state().textAnswer = answer;
}

void Seam::setAnswer(bool yes) {
    state().answer = yes;
}

void Seam::setRecordingMessages(bool recording) {
    state().recording = recording;
}

QList<Seam::Message> &Seam::recordedMessages() {
    return state().messages;
}

QList<Seam::Message> Seam::takeMessages() {
    return std::exchange(state().messages, {});
}

QString Seam::saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                           const QString &filter) {
    if (state().saveChooser)
        return state().saveChooser(suggested);
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

void Seam::setSaveFileChooser(std::function<QString(const QString &)> chooser) {
    state().saveChooser = std::move(chooser);
}

bool Seam::openFolder(const QString &folder, std::function<void()> failedLater) {
    if (state().opener)
        return state().opener(folder);
    return openWithDesktop(folder, std::move(failedLater));
}

void Seam::setFolderOpener(std::function<bool(const QString &)> opener) {
    state().opener = std::move(opener);
}

RandomSource &Seam::random() {
    if (state().random)
        return *state().random;
    static SeededRandom systemSeeded;
    return systemSeeded;
}

void Seam::setRandom(RandomSource *random) {
    state().random = random;
}

QString Seam::programFolder() {
    if (!state().programFolder.isEmpty())
        return state().programFolder;
    return QCoreApplication::applicationDirPath();
}

void Seam::setProgramFolder(const QString &folder) {
    QString cleaned = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
    while (cleaned.size() > 1 && cleaned.endsWith(QLatin1Char('/')))
        cleaned.chop(1);
    state().programFolder = cleaned;
}

void Seam::endProgram() {
    if (state().ender) {
        state().ender();
        return;
    }
    QCoreApplication::exit(0);
}

void Seam::setProgramEnder(std::function<void()> ender) {
    state().ender = std::move(ender);
}
