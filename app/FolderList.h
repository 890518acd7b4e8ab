#pragma once

#include <QListWidget>

// A folder list: the path of the current folder from the root down, each folder on its own line
// and indented one step further, followed by the current folder's subfolders. Double-clicking a
// line (or pressing Enter on it) opens that folder and raises changed. The current (opened)
// folder is the one the list stands for; it starts at the process's current folder.
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

private:
    void openItem(QListWidgetItem *item);

    QString m_path;
};
