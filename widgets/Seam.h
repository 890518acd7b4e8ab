#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;
class RandomSource;

// The one place where the program touches what a test must control: message boxes, opening a
// folder in the file manager, the random source, the program folder, and ending the program.
// The program uses the real things; a test switches each one to a stand-in.
class Seam {
public:
    struct Message {
        QString text;
        QString title;
    };

    // An information box with an OK button. While recording, nothing is shown: the message is
    // appended to recordedMessages() and the call returns at once.
    static void information(QWidget *parent, const QString &text, const QString &title);
    static void setRecordingMessages(bool recording);
    // A question with Yes and No buttons; true for Yes. While recording, nothing is shown: the
    // question is recorded like a message and answered with setAnswer()'s answer (No until set).
    static bool question(QWidget *parent, const QString &text, const QString &title);
    static void setAnswer(bool yes);
    static QList<Message> &recordedMessages();
    // The recorded messages, emptied.
    static QList<Message> takeMessages();

    // The file the user chooses to save to in the desktop's save dialog, starting at suggested;
    // an empty text when cancelled. A test sets what the "user" chooses instead (chooser gets the
    // suggested path); nullptr goes back to the real dialog.
    static QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                const QString &filter);
    static void setSaveFileChooser(std::function<QString(const QString &)> chooser);

    // Opens a folder in the desktop's file manager without waiting for it. Returns false when the
    // folder does not exist or the desktop could not be asked to open it.
    static bool openFolder(const QString &folder);
    static void setFolderOpener(std::function<bool(const QString &)> opener);

    static RandomSource &random();
    // The source to use from now on (not owned); nullptr goes back to the system-seeded one.
    static void setRandom(RandomSource *random);

    // The folder that holds the executable, without a trailing separator; data files lie there.
    static QString programFolder();
    static void setProgramFolder(const QString &folder);

    // Ends the program at once with exit status 0: no window is asked or cleaned up.
    static void endProgram();
    static void setProgramEnder(std::function<void()> ender);
};
