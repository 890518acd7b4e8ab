#pragma once

#include <QListView>
#include <QString>
#include <QStringList>

class LogLines;

// A read-only log, one line a row, that stays cheap however long it grows: the lines are kept
// once, as UTF-8, and drawn as they come into view, so the hundred thousand lines of a large run
// cost a few megabytes where a text box would take ten times that. Every line is shown whole:
// the view scrolls sideways as far as the widest line. New lines scroll into view; Ctrl+C, or Copy
// in the context menu, copies the selected lines joined with CR LF.
class LogView : public QListView {
    Q_OBJECT

public:
    explicit LogView(QWidget *parent = nullptr);

    void appendLines(const QStringList &lines);
    void clear();
    int lineCount() const;
    // The whole log, its lines joined with separator.
    QString text(const QString &separator = QStringLiteral("\n")) const;
    // The selected lines, in the log's order, joined with CR LF.
    QString selectedText() const;
    void copy();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    LogLines *m_lines;
};
