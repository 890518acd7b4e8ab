#include "widgets/CatalogueList.h"

#include "widgets/FocusRing.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace {

constexpr int FilePathRole = Qt::UserRole;

} // namespace

CatalogueList::CatalogueList(QWidget *parent) : QListWidget(parent) {
    FocusRing::attach(this);
    // A click on the tick box does not move the current entry by itself: do it here.
    const auto toCurrent = [this](QListWidgetItem *item) { makeCurrent(row(item)); };
    connect(this, &QListWidget::itemClicked, this, toCurrent);
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        describe(item, true);
        makeCurrent(row(item));
    });
    connect(this, &QListWidget::currentRowChanged, this, [this](int current) {
        if (current >= 0)
            emit Click();
    });
}

void CatalogueList::setEntries(const QList<CatalogueEntry> &entries) {
    const QSignalBlocker quiet(this);
    clear();
    for (const CatalogueEntry &entry : entries) {
        auto *item = new QListWidgetItem(entry.displayName, this);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(FilePathRole, entry.filePath);
        describe(item, false);
    }
}

void CatalogueList::describe(QListWidgetItem *item, bool announce) {
    // Qt gives the state to screen readers in-process, but its AT-SPI bridge does not say that an
    // entry can be ticked, so Orca would read an unticked one by its name alone.
    const QString state = item->checkState() == Qt::Checked ? tr("checked") : tr("not checked");
    if (item->data(Qt::AccessibleDescriptionRole).toString() == state)
        return;
    {
        const QSignalBlocker quiet(this);
        item->setData(Qt::AccessibleDescriptionRole, state);
    }
    if (!announce || !QAccessible::isActive())
        return;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(this);
    QAccessibleInterface *entry = list ? list->child(row(item)) : nullptr;
    if (!entry)
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent stateChange(entry, changed);
    QAccessible::updateAccessibility(&stateChange);
    QAccessibleEvent description(entry, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
}

void CatalogueList::tickAll(bool ticked) {
    const Qt::CheckState state = ticked ? Qt::Checked : Qt::Unchecked;
    {
        const QSignalBlocker quiet(this);
        for (int row = 0; row < count(); ++row)
            item(row)->setCheckState(state);
    }
    for (int row = 0; row < count(); ++row)
        describe(item(row), false);
    viewport()->update();
    emit Click();
}

void CatalogueList::keyPressEvent(QKeyEvent *event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_A && (modifiers == Qt::ControlModifier ||
                                      modifiers == (Qt::ControlModifier | Qt::ShiftModifier))) {
        tickAll(!(modifiers & Qt::ShiftModifier));
        return;
    }
    QListWidget::keyPressEvent(event);
}

void CatalogueList::contextMenuEvent(QContextMenuEvent *event) {
    QMenu menu(this);
    menu.addAction(tr("&Tick All"), QKeySequence(tr("Ctrl+A")), this, [this] { tickAll(true); })
        ->setEnabled(tickedCount() < count());
    menu.addAction(tr("&Untick All"), QKeySequence(tr("Ctrl+Shift+A")), this,
                   [this] { tickAll(false); })
        ->setEnabled(tickedCount() > 0);
    menu.exec(event->globalPos());
}

CatalogueEntry CatalogueList::entry(int row) const {
    const QListWidgetItem *it = item(row);
    if (!it)
        return {};
    return {it->text(), it->data(FilePathRole).toString()};
}

bool CatalogueList::isTicked(int row) const {
    const QListWidgetItem *it = item(row);
    return it && it->checkState() == Qt::Checked;
}

int CatalogueList::tickedCount() const {
    int ticked = 0;
    for (int row = 0; row < count(); ++row)
        ticked += isTicked(row) ? 1 : 0;
    return ticked;
}

QList<CatalogueEntry> CatalogueList::tickedEntries() const {
    QList<CatalogueEntry> ticked;
    for (int row = 0; row < count(); ++row) {
        if (isTicked(row))
            ticked.append(entry(row));
    }
    return ticked;
}

void CatalogueList::makeCurrent(int row) {
    if (row < 0 || row >= count())
        return;
    {
        const QSignalBlocker quiet(this);
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    viewport()->update();
    emit Click();
}
