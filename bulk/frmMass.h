#pragma once

#include <QDialog>
#include <QString>

// The bulk article window: adds a product recommendation and legal disclaimers to every article
// of a folder. Shown modally from the main menu.
class frmMass : public QDialog {
    Q_OBJECT

public:
    // outputFolder is the folder of the last run; it outlives the window.
    explicit frmMass(QString &outputFolder, QWidget *parent = nullptr);

private:
    void Form_Load();

    QString &OutputFolder;
};
