#include "widgets/LogView.h"

#include "widgets/FocusRing.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <optional>

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
    // The width of the widest line so far, in pixels.
    int widest = 0;

    void append(const QStringList &lines) {
        if (lines.isEmpty())
            return;
        for (const QString &line : lines)
            widest = std::max(widest, width(line));
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
        widest = 0;
        endResetModel();
    }
    // Measures with metrics from now on, and the lines so far again.
    void measure(const QFontMetrics &metrics) {
        m_metrics.emplace(metrics);
        m_advances.clear();
        widest = 0;
        for (int row = 0; row < rowCount(); ++row)
            widest = std::max(widest, width(line(row)));
    }

private:
    // A line's width as the sum of its characters' advances, each measured once: shaping every
    // line of a long run in full would cost more than the run's own work on the window's side.
    // Kerning makes lines a little narrower, so the sum never falls short by more than the
    // view's margin.
    int width(const QString &line) {
        if (!m_metrics)
            return 0;
        int sum = 0;
        for (const QChar c : line) {
            auto found = m_advances.constFind(c.unicode());
            if (found == m_advances.constEnd())
                found = m_advances.insert(c.unicode(), m_metrics->horizontalAdvance(c));
            sum += *found;
        }
        return sum;
    }

    QByteArray m_text;
    QList<qsizetype> m_starts;
    std::optional<QFontMetrics> m_metrics;
    QHash<char16_t, int> m_advances;
};

namespace {

// Every row as wide as the widest line, so that no line is cut short and the view scrolls
// sideways to the end of the longest.
class WholeLines : public QStyledItemDelegate {
public:
    WholeLines(LogLines *lines, QObject *parent) : QStyledItemDelegate(parent), m_lines(lines) {}
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(
            std::max(size.width(), m_lines->widest + 2 * option.fontMetrics.averageCharWidth()));
        return size;
    }

private:
    LogLines *m_lines;
};

} // namespace

LogView::LogView(QWidget *parent) : QListView(parent), m_lines(new LogLines(this)) {
    FocusRing::attach(this);
    setModel(m_lines);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new WholeLines(m_lines, this));
    m_lines->measure(fontMetrics());
}

void LogView::appendLines(const QStringList &lines) {
    const int widest = m_lines->widest;
    m_lines->append(lines);
    if (m_lines->widest != widest)
        scheduleDelayedItemsLayout(); // rows as wide as the new widest line
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

QString LogView::selectedText() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const QModelIndex &index : std::as_const(rows))
        lines.append(m_lines->line(index.row()));
    // As the log's text box gave them: lines joined with CR LF.
    return lines.join(QStringLiteral("\r\n"));
}

void LogView::copy() {
    if (selectionModel()->hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void LogView::keyPressEvent(QKeyEvent *event) {
    if (!event->matches(QKeySequence::Copy)) {
        QListView::keyPressEvent(event);
        return;
    }
    copy();
}

void LogView::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        m_lines->measure(fontMetrics());
        scheduleDelayedItemsLayout();
    }
    QListView::changeEvent(event);
}

void LogView::contextMenuEvent(QContextMenuEvent *event) {
    QMenu menu(this);
    QAction *copyLines = menu.addAction(tr("&Copy"), QKeySequence::Copy, this, &LogView::copy);
    copyLines->setEnabled(selectionModel()->hasSelection());
    QAction *all = menu.addAction(tr("Select &All"), QKeySequence::SelectAll, this,
                                  &QAbstractItemView::selectAll);
    all->setEnabled(lineCount() > 0);
    menu.exec(event->globalPos());
}
