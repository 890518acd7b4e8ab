#include "widgets/LogView.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

// The lines of a log, in one UTF-8 buffer with the offset where each line starts.
class LogLines : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(m_starts.size());
    }
    QVariant data(const QModelIndex &index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return {};
        return line(index.row());
    }

    QString line(int row) const {
        const qsizetype start = m_starts.value(row, m_text.size());
        const qsizetype end = row + 1 < m_starts.size() ? m_starts.at(row + 1) : m_text.size();
        return QString::fromUtf8(QByteArrayView(m_text).sliced(start, end - start));
    }
    void append(const QStringList &lines) {
        if (lines.isEmpty())
            return;
        beginInsertRows({}, int(m_starts.size()), int(m_starts.size() + lines.size() - 1));
        for (const QString &line : lines) {
            m_starts.append(m_text.size());
            m_text += line.toUtf8();
        }
        endInsertRows();
    }
    void clear() {
        beginResetModel();
        m_text = QByteArray();
        m_starts = QList<qsizetype>();
        endResetModel();
    }

private:
    QByteArray m_text;
    QList<qsizetype> m_starts;
};

LogView::LogView(QWidget *parent) : QListView(parent), m_lines(new LogLines(this)) {
    setModel(m_lines);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void LogView::appendLines(const QStringList &lines) {
    m_lines->append(lines);
    scrollToBottom();
}

void LogView::clear() {
    m_lines->clear();
}

int LogView::lineCount() const {
    return m_lines->rowCount();
}

QString LogView::text(const QString &separator) const {
    QStringList lines;
    lines.reserve(lineCount());
    for (int row = 0; row < lineCount(); ++row)
        lines.append(m_lines->line(row));
    return lines.join(separator);
}

void LogView::keyPressEvent(QKeyEvent *event) {
    if (!event->matches(QKeySequence::Copy)) {
        QListView::keyPressEvent(event);
        return;
    }
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const QModelIndex &index : std::as_const(rows))
        lines.append(m_lines->line(index.row()));
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}
