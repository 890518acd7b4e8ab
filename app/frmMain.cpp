#include "app/frmMain.h"

#include "bulk/frmMass.h"
#include "legalpages/frmLegalPages.h"
#include "widgets/HelpWindow.h"
#include "widgets/Seam.h"
#include "widgets/WindowStyle.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

using namespace WindowStyle;

frmMain::frmMain(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Clausewright"));
    makeFixedWindow(this, 10185, 4650);
    exposeAsWindow(this);

    Picture1 = band(this, "Picture1", QColor(64, 64, 64), 0, 0, 10185, 735);
    Label1 = label(Picture1, "Label1", QStringLiteral("Clausewright"), 135, 225, 6360, 330,
                   verdana(12, true));
    setTextColor(Label1, Qt::white);
    Label2 = label(this, "Label2", QStringLiteral("Clausewrights"), 1395, 945, 2580, 285,
                   verdana(11.25, true));

    const QFont buttonFont = verdana(9.75, true);
    Command1 = button(this, "Command1", QStringLiteral("Add Legal &Pages to Website"), 1395, 1485,
                      7125, 690, buttonFont);
    vbtnLoad = button(this, "vbtnLoad", QStringLiteral("Add Legal &Terms to Articles (.txt)"), 1395,
                      2430, 7125, 690, buttonFont);
    Command2 =
        button(this, "Command2", QStringLiteral("&Close App"), 1395, 3420, 7125, 690, buttonFont);

    // F1 and the window's context menu: the manual, and the version and data files.
    auto *help = new QAction(tr("&Help"), this);
    help->setShortcut(QKeySequence::HelpContents);
    help->setShortcutContext(Qt::WindowShortcut);
    connect(help, &QAction::triggered, this, [this] { HelpWindow::open(this, QString()); });
    auto *about = new QAction(tr("&About Clausewright"), this);
    connect(about, &QAction::triggered, this, [this] { HelpWindow::about(this); });
    addActions({help, about});
    setContextMenuPolicy(Qt::ActionsContextMenu);

    setTabOrder(vbtnLoad, Command1);
    setTabOrder(Command1, Command2);
    fitCaptions(this);

    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(vbtnLoad, &QPushButton::clicked, this, &frmMain::vbtnLoad_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
}

frmLegalPages *frmMain::legalPagesWindow() const {
    return m_legalPages;
}

frmMass *frmMain::bulkWindow() const {
    return m_bulk;
}

void frmMain::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        placeOnScreen(this);
    }
    vbtnLoad->setFocus(Qt::OtherFocusReason);
}

void frmMain::Command1_Click() {
    if (!m_legalPages) {
        // A window of its own, not a child of the menu: it outlives the menu being closed.
        m_legalPages = new frmLegalPages();
        m_legalPages->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_legalPages->show();
    m_legalPages->raise();
    m_legalPages->activateWindow();
}

void frmMain::vbtnLoad_Click() {
    // A fresh window each time it is shown, so its set-up runs again from the design defaults;
    // only the output folder of the last run is carried over.
    auto *window = new frmMass(m_bulkOutputFolder, this);
    m_bulk = window;
    window->exec();
    delete window;
}

void frmMain::Command2_Click() {
    // Pages being written: that run finishes and shows its link code, then the program ends.
    if (m_legalPages && m_legalPages->isRunning()) {
        connect(m_legalPages, &QObject::destroyed, this, [] { Seam::endProgram(); });
        m_legalPages->close();
        return;
    }
    Seam::endProgram();
}
