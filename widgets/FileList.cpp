#include "widgets/FileList.h"

#include "widgets/FocusRing.h"

#include "core/FolderListing.h"

#include <QAbstractListModel>
#include <QDir>

// The names of a file list, shown as FolderListing shows them.
class FileNameModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(names.size());
    }
    QVariant data(const QModelIndex &index, int role) const override {
        if (!index.isValid() || index.row() >= names.size() ||
            (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return {};
        return FolderListing::shownName(names.at(index.row()));
    }
    void setNames(QByteArrayList newNames) {
        beginResetModel();
        names = std::move(newNames);
        endResetModel();
    }

    QByteArrayList names;
};

FileList::FileList(QWidget *parent) : QListView(parent), m_model(new FileNameModel(this)) {
    FocusRing::attach(this);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(m_model);
    m_path = QDir::currentPath();
}

void FileList::setPattern(const QString &pattern) {
    list(m_path, pattern);
}

void FileList::setPath(const QString &folder) {
    m_path = folder;
    refresh();
}

void FileList::list(const QString &folder, const QString &pattern) {
    m_path = folder;
    m_patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    refresh();
}

void FileList::refresh() {
    m_model->setNames(FolderListing::localNames(m_path, m_patterns));
}

int FileList::count() const {
    return m_model->rowCount();
}

QStringList FileList::fileNames() const {
    QStringList names;
    names.reserve(m_model->names.size());
    for (const QByteArray &name : std::as_const(m_model->names))
        names.append(FolderListing::shownName(name));
    return names;
}

const QByteArrayList &FileList::localNames() const {
    return m_model->names;
}

void FileList::makeCurrent(int row) {
    setCurrentIndex(m_model->index(row));
}
