#pragma once

#include <QListWidget>

// A folder list: the path of the current folder from the root down, each folder on its own line
// and indented one step further, followed by the current folder's subfolders. The current
// (opened) folder is the one the list stands for: it is drawn in bold, and its full path is the
// list's tooltip and its description for screen readers. It starts at the process's current
// folder.
//
// A click on a line opens that folder, so what is highlighted after a click is always the folder
// in use. The arrow keys only move the highlight; Enter or Space opens the highlighted folder, and
// when the keyboard leaves the list the highlight goes back to the opened folder. Opening a
// folder raises changed.
//
// Each folder is kept as the file system names it, as bytes: a folder whose name is not UTF-8 is
// shown with a replacement character and opened all the same; path() then names it in a way the
// other parts can open (see LocalPath).
class FolderList : public QListWidget {
    Q_OBJECT

public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Opens folder. Returns false, changing nothing, when it is no readable folder. Raises changed
    // when the folder differs from the current one.
    bool setPath(const QString &folder);
    // Re-reads the subfolders of the current folder.
    void refresh();

signals:
    void changed(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool open(const QByteArray &local);
    void openItem(QListWidgetItem *item);
    void highlightOpened();

    QByteArray m_local;
    QString m_path;
    int m_openedRow = -1;
};
