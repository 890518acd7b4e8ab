#include "widgets/DriveList.h"

#include "core/LocalPath.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QDir>
#include <QStorageInfo>

namespace {

// The drive list as a screen reader sees it: Qt on Linux names a drop-down by its value, so the
// list's own name ("Drive") is given as its name and the chosen volume as its value.
class DriveListAccessible : public QAccessibleWidget {
public:
    explicit DriveListAccessible(QWidget *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        const auto *list = static_cast<const QComboBox *>(widget());
        if (t == QAccessible::Value)
            return list->currentText();
        if (t == QAccessible::Name && !list->accessibleName().isEmpty())
            return list->accessibleName();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = static_cast<const QComboBox *>(widget())->view()->isVisible();
        state.collapsed = !state.expanded;
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override {
        if (action == showMenuAction() || action == pressAction())
            static_cast<QComboBox *>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *driveListInterface(const QString &className, QObject *object) {
    if (className == QLatin1String("DriveList") && qobject_cast<DriveList *>(object))
        return new DriveListAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

// Volumes a user keeps files on: real file systems, not the kernel's own.
bool isUserVolume(const QStorageInfo &volume) {
    if (!volume.isValid() || !volume.isReady())
        return false;
    const QString root = volume.rootPath();
    if (root == QLatin1String("/"))
        return true;
    static const QStringList systemRoots = {"/proc", "/sys", "/dev", "/run", "/boot/efi"};
    for (const QString &prefix : systemRoots) {
        if (root == prefix || root.startsWith(prefix + QLatin1Char('/')))
            return false;
    }
    static const QList<QByteArray> pseudo = {"tmpfs",    "devtmpfs", "proc",    "sysfs", "overlay",
                                             "squashfs", "cgroup",   "cgroup2", "autofs"};
    return !pseudo.contains(volume.fileSystemType()) || root.startsWith(QLatin1String("/media")) ||
           root.startsWith(QLatin1String("/mnt"));
}

} // namespace

DriveList::DriveList(QWidget *parent) : QComboBox(parent) {
    static const bool named = [] {
        QAccessible::installFactory(driveListInterface);
        return true;
    }();
    Q_UNUSED(named);
    setAccessibleName(tr("Drive"));
    refresh();
    selectDriveOf(QDir::currentPath());
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_quiet && index >= 0)
            emit driveChanged(itemData(index).toString());
    });
}

QString DriveList::drive() const {
    return currentData().toString();
}

void DriveList::refresh() {
    m_quiet = true;
    const QString chosen = drive();
    clear();
    QStringList seen;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!isUserVolume(volume) || seen.contains(volume.rootPath()))
            continue;
        seen.append(volume.rootPath());
        const QString name = volume.displayName();
        const QString label =
            name == volume.rootPath()
                ? QDir::toNativeSeparators(name)
                : QStringLiteral("%1 [%2]").arg(QDir::toNativeSeparators(volume.rootPath()), name);
        addItem(label, volume.rootPath());
    }
    const QString root = QDir::rootPath();
    if (findData(root) < 0)
        insertItem(0, QDir::toNativeSeparators(root), root);
    const int again = findData(chosen);
    setCurrentIndex(again >= 0 ? again : 0);
    m_quiet = false;
}

void DriveList::selectDriveOf(const QString &given) {
    const QString path = LocalPath::shown(given);
    const QString root = QStorageInfo(path).rootPath();
    int index = findData(root);
    if (index < 0) {
        // The longest volume root that holds the path.
        qsizetype best = -1;
        for (int i = 0; i < count(); ++i) {
            const QString candidate = itemData(i).toString();
            const QString prefix =
                candidate.endsWith(QLatin1Char('/')) ? candidate : candidate + QLatin1Char('/');
            if ((path == candidate || path.startsWith(prefix)) && candidate.size() > best) {
                best = candidate.size();
                index = i;
            }
        }
    }
    m_quiet = true;
    if (index >= 0)
        setCurrentIndex(index);
    m_quiet = false;
}
