#include "widgets/Seam.h"

#include "controllib/RandomSource.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include <utility>

namespace {

struct SeamState {
    bool recording = false;
    bool answer = false;
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

bool openWithDesktop(const QString &folder) {
    if (!QFileInfo(folder).isDir())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(folder).absolutePath()));
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

bool Seam::openFolder(const QString &folder) {
    if (state().opener)
        return state().opener(folder);
    return openWithDesktop(folder);
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
