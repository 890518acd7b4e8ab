#include "legalpages/frmInsertLinksTMP.h"

#include "legalpages/frmLegalPages.h"
#include "widgets/HelpWindow.h"
#include "widgets/Seam.h"
#include "widgets/Twips.h"
#include "widgets/WindowStyle.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace WindowStyle;

namespace {

// Captions here hold "<" and ">": they are shown as typed, never as mark-up.
QLabel *plainLabel(QWidget *parent, const char *name, const QString &caption, int top, bool bold) {
    QLabel *widget = label(parent, name, caption, 720, top, 9510, 510, verdana(9.75, bold));
    widget->setTextFormat(Qt::PlainText);
    return widget;
}

} // namespace

frmInsertLinksTMP::frmInsertLinksTMP(frmLegalPages *legalPages, QWidget *parent)
    : QDialog(parent), m_legalPages(legalPages) {
    setObjectName(QStringLiteral("frmInsertLinksTMP"));
    setWindowTitle(QStringLiteral("Page Creation"));
    setModal(true);
    makeFixedWindow(this, 10965, 6015);
    HelpWindow::install(this, QStringLiteral("Adding legal pages to a web site"));

    Label1 =
        plainLabel(this, "Label1", QStringLiteral("Perfect! We've just created the pages for you."),
                   315, false);
    Label2 = plainLabel(this, "Label2", QStringLiteral("Final Step..."), 990, true);
    Label3 = plainLabel(this, "Label3",
                        QStringLiteral("Please add the following &HTML code to your Home Page (in "
                                       "general, index.htm or index.html). You can add this code "
                                       "above the \"</body>\" tag."),
                        1620, false);

    txtLinks = new QPlainTextEdit(this);
    txtLinks->setObjectName(QStringLiteral("txtLinks"));
    txtLinks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the code instead of adding to it.
    txtLinks->setTabChangesFocus(true);
    Twips::place(txtLinks, 720, 2295, 9555, 1905);
    tie(Label3, txtLinks);
    txtLinks->setAccessibleName(tr("HTML code for your home page"));

    const QFont buttonFont = verdana(9.75, true);
    cmdCopyToClipboard =
        button(this, "cmdCopyToClipboard", QStringLiteral("&Copy Code to Clipboard"), 2115, 4500,
               3075, 870, buttonFont);
    cmdClose = button(this, "cmdClose", QStringLiteral("Close &Window"), 5580, 4500, 3075, 870,
                      buttonFont);
    setTabOrder(cmdCopyToClipboard, cmdClose);
    setTabOrder(cmdClose, txtLinks);

    connect(cmdCopyToClipboard, &QPushButton::clicked, this,
            &frmInsertLinksTMP::cmdCopyToClipboard_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmInsertLinksTMP::cmdClose_Click);

    Form_Load();
    fitCaptions(this);
}

void frmInsertLinksTMP::Form_Load() {
    if (m_legalPages)
        txtLinks->setPlainText(m_legalPages->linkCode());
}

void frmInsertLinksTMP::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        placeOnScreen(this);
        // Ready to copy: the code itself is rarely edited.
        cmdCopyToClipboard->setFocus(Qt::OtherFocusReason);
    }
}

void frmInsertLinksTMP::cmdCopyToClipboard_Click() {
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(txtLinks->toPlainText());
    Seam::information(this, QStringLiteral("Done! You can now close this window."),
                      QStringLiteral("Done"));
}

void frmInsertLinksTMP::cmdClose_Click() {
    if (m_legalPages)
        m_legalPages->close();
    close();
}
