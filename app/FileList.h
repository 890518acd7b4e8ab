#pragma once

#include <QByteArrayList>
#include <QListWidget>
#include <QStringList>

// A file list: the files of one folder whose names match a pattern ("*.txt", "*.htm;*.html"),
// as FolderListing lists them. Each name is kept as the file system holds it, so a run reads the
// very file that is shown, whatever bytes its name holds.
class FileList : public QListWidget {
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
    // The names as shown, and as the file system holds them, in the list's order.
    QStringList fileNames() const;
    const QByteArrayList &localNames() const { return m_names; }

private:
    QString m_path;
    QStringList m_patterns{QStringLiteral("*.*")};
    QByteArrayList m_names;
};
