#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

// The manual in a window: the README that lies beside the program (`README.md`), rendered, opened
// at the section about the window it was asked from. Its "About Clausewright" button gives the
// version and where the data files are. F1 opens it from any window that installed it.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    // F1 in window opens the manual at section (a heading of the manual; empty for its start).
    static void install(QWidget *window, const QString &section);
    // Opens (or raises) the manual of window at section.
    static HelpWindow *open(QWidget *window, const QString &section);
    // The version, the data files' folder and where the manual is, in a message box.
    static void about(QWidget *parent);
    // The manual's file beside the program.
    static QString manualPath();

    void showSection(const QString &section);
    QTextBrowser *browser() const { return m_browser; }

private:
    explicit HelpWindow(QWidget *parent);

    QTextBrowser *m_browser;
};
