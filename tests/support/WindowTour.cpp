#include "WindowTour.h"

#include "app/frmMain.h"
#include "bulk/frmMass.h"
#include "legalpages/frmInsertLinksTMP.h"
#include "legalpages/frmLegalPages.h"
#include "widgets/Seam.h"

#include <QtTest>
#include <QtWidgets>

namespace WindowTour {

QWidget *showActive(QWidget *window) {
    window->show();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window))
        qWarning("%s did not become active", qPrintable(window->objectName()));
    return window;
}

QList<Scene> scenes() {
    Seam::setProgramFolder(QStringLiteral(CW_BINARY_DIR));
    Seam::setRecordingMessages(true);
    static QString bulkOutput;
    const QStringList bulk{"Dir1", "File1", "Drive1", "vbtnLoad", "Command1", "Command2"};
    return {
        {"main menu", [] { return showActive(new frmMain); }, {"vbtnLoad", "Command1", "Command2"}},
        {"bulk, recommendation panel open", [] { return showActive(new frmMass(bulkOutput)); },
         bulk + QStringList{"QkFrameMenu_0/toggle", "chkBegins", "chkCenter1", "chkEnds",
                            "chkCenter2", "txtBenefit", "txtUrl", "txtLinkText",
                            "QkFrameMenu_1/toggle", "txtLog"}},
        {"bulk, disclaimer panel open",
         [] {
             auto *window = new frmMass(bulkOutput);
             window->SelectPanel(1);
             return showActive(window);
         },
         bulk + QStringList{"QkFrameMenu_0/toggle", "QkFrameMenu_1/toggle", "lstDisclaimers",
                            "txtDisclaimerPreview", "txtLog"}},
        {"legal pages",
         [] { return showActive(new frmLegalPages); },
         {"Drive1", "Dir1", "File1", "lstDisclaimers", "txtDisclaimerPreview", "txtSiteName",
          "txtSiteUrl", "txtemail", "cmdCreatePages", "Command1", "cmdSiteFacts"}},
        {"page creation",
         [] {
             auto *links = new frmInsertLinksTMP(nullptr);
             links->findChild<QPlainTextEdit *>("txtLinks")
                 ->setPlainText(R"(<center><a href="disclaimer.html">Disclaimer</a></center>)");
             return showActive(links);
         },
         {"cmdCopyToClipboard", "cmdClose", "txtLinks"}},
    };
}

void closeAll() {
    // Windows only: a window takes its own pop-ups (a drop-down's list) with it.
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->parentWidget())
            windows.append(window);
    }
    for (const QPointer<QWidget> &window : std::as_const(windows))
        delete window.data();
    Seam::takeMessages();
}

QString nameOf(const QWidget *widget) {
    if (!widget)
        return QStringLiteral("(nothing)");
    if (widget->objectName() == QLatin1String("expandCollapse") && widget->parentWidget())
        return widget->parentWidget()->objectName() + QStringLiteral("/toggle");
    return widget->objectName();
}

bool wholeOnScreen(const QWidget *widget) {
    if (!widget || !widget->isVisible())
        return false;
    QRect rect = widget->rect();
    for (const QWidget *w = widget; !w->isWindow(); w = w->parentWidget()) {
        rect.translate(w->pos());
        if (!w->parentWidget()->rect().contains(rect))
            return false;
    }
    return true;
}

QList<QWidget *> controls(QWidget *window) {
    QList<QWidget *> found;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
                             qobject_cast<QPlainTextEdit *>(w) ||
                             qobject_cast<QAbstractItemView *>(w) || qobject_cast<QComboBox *>(w);
        // The drop-down's own list and line edit belong to it, not to the window.
        if (control && w->isVisible() && !qobject_cast<QComboBox *>(w->parentWidget()) &&
            w->window() == window)
            found.append(w);
    }
    return found;
}

} // namespace WindowTour
