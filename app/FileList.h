#pragma once

#include <QListWidget>
#include <QStringList>

// A file list: the files of one folder whose names match a pattern ("*.txt", "*.htm;*.html"),
// without regard to letter case, sorted by name ignoring case. Folders and hidden files are not
// listed.
class FileList : public QListWidget {
    Q_OBJECT

public:
    explicit FileList(QWidget *parent = nullptr);

    // Patterns separated by ";", as "*.htm;*.html".
    void setPattern(const QString &pattern);
    QString path() const { return m_path; }
    void setPath(const QString &folder);
    // Re-reads the folder.
    void refresh();
    QStringList fileNames() const { return m_names; }

private:
    QString m_path;
    QStringList m_patterns{QStringLiteral("*.*")};
    QStringList m_names;
};
