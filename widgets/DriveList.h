#pragma once

#include <QComboBox>

// A drive list: the mounted volumes of the machine (on Windows its drives), one entry each,
// showing the volume's root folder and name. The entry of the process's current folder is chosen
// at first. Choosing another entry raises driveChanged with that volume's root folder.
class DriveList : public QComboBox {
    Q_OBJECT

public:
    explicit DriveList(QWidget *parent = nullptr);

    // The root folder of the chosen volume.
    QString drive() const;
    // Chooses the volume that holds path, without raising driveChanged.
    void selectDriveOf(const QString &path);
    // Re-reads the mounted volumes.
    void refresh();

signals:
    void driveChanged(const QString &rootPath);

private:
    bool m_quiet = false;
};
