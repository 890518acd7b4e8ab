#include "bulk/frmMass.h"

#include "app/WindowStyle.h"

frmMass::frmMass(QString &outputFolder, QWidget *parent)
    : QDialog(parent), OutputFolder(outputFolder) {
    setObjectName(QStringLiteral("frmMass"));
    WindowStyle::makeFixedWindow(this, 12375, 9045);
    Form_Load();
}

void frmMass::Form_Load() {
    setWindowTitle(QStringLiteral("Add Legal Terms and Conditions to Articles (.txt) 2.2  "));
}
