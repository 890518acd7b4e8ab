#include "legalpages/frmLegalPages.h"

#include "app/Twips.h"
#include "app/WindowStyle.h"

frmLegalPages::frmLegalPages(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmLegalPages"));
    // An ordinary resizable window; the layout does not follow a resize.
    resize(Twips::size(12405, 9045));
    Form_Load();
}

void frmLegalPages::Form_Load() {
    setWindowTitle(QStringLiteral("Add Legal Pages to Website"));
}
