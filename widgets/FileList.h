#pragma once

#include <QByteArrayList>
#include <QListView>
#include <QStringList>

class FileNameModel;

// A file list: the files of one folder whose names match a pattern ("*.txt", "*.htm;*.html"),
// as FolderListing lists them. Each name is kept as the file system holds them, so a run reads
// the very file that is shown, whatever bytes its name holds. A folder of a hundred thousand
// articles costs the names and little more: the rows are drawn from them as they are shown.
class FileList : public QListView {
    Q_OBJECT

public:
    explicit FileList(QWidget *parent = nullptr);

    // Patterns separated by ";", as "*.htm;*.html". Re-reads the folder.
    void setPattern(const QString &pattern);
    QString path() const { return m_path; }
    // Re-reads the folder, which it then shows.
    void setPath(const QString &folder);
    // Both at once, reading the folder once.
    void list(const QString &folder, const QString &pattern);
    // Re-reads the folder.
    void refresh();
    int count() const;
    // Makes row the current entry, as a run does with the article at hand.
    void makeCurrent(int row);
    // The names as shown, and as the file system holds them, in the list's order.
    QStringList fileNames() const;
    const QByteArrayList &localNames() const;

private:
    QString m_path;
    QStringList m_patterns{QStringLiteral("*.*")};
    FileNameModel *m_model;
};
