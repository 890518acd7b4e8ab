#include "widgets/CatalogueList.h"

namespace {

constexpr int FilePathRole = Qt::UserRole;

} // namespace

CatalogueList::CatalogueList(QWidget *parent) : QListWidget(parent) {
    // A click on the tick box does not move the current entry by itself: do it here.
    const auto toCurrent = [this](QListWidgetItem *item) { makeCurrent(row(item)); };
    connect(this, &QListWidget::itemClicked, this, toCurrent);
    connect(this, &QListWidget::itemChanged, this, toCurrent);
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
    }
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
