#include "widgets/HelpWindow.h"

#include "widgets/Seam.h"
#include "widgets/WindowStyle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// The manual's text for the window: pictures are left out (they show the windows themselves).
QString manualText() {
    QFile file(HelpWindow::manualPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return QCoreApplication::translate("HelpWindow",
                                           "# Clausewright\n\nThe manual (%1) could not be read. "
                                           "`man clausewright` says how to use the program.")
            .arg(QDir::toNativeSeparators(HelpWindow::manualPath()));
    }
    QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression picture(QStringLiteral("^!\\[[^\\]]*\\]\\([^)]*\\)\\s*$"),
                                            QRegularExpression::MultilineOption);
    return text.remove(picture);
}

} // namespace

void HelpWindow::install(QWidget *window, const QString &section) {
    auto *shortcut = new QShortcut(QKeySequence::HelpContents, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window,
                     [window, section] { open(window, section); });
}

HelpWindow *HelpWindow::open(QWidget *window, const QString &section) {
    // A window of the one that asked, so that it can be used beside a modal window too.
    auto *help = window->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    const bool fresh = !help;
    if (fresh)
        help = new HelpWindow(window);
    help->show();
    if (fresh)
        WindowStyle::placeOnScreen(help);
    help->showSection(section);
    help->raise();
    help->activateWindow();
    return help;
}

void HelpWindow::about(QWidget *parent) {
    const QString folder = QDir::toNativeSeparators(Seam::programFolder());
    Seam::information(parent,
                      tr("Clausewright %1\n\nAdds legal disclaimers and recommendations to "
                         "articles, and legal pages to web sites.\n\nData files: %2 (templates "
                         "and rwdb.txt)\nManual: %3")
                          .arg(QCoreApplication::applicationVersion(), folder,
                               QDir::toNativeSeparators(manualPath())),
                      tr("About Clausewright"));
}

QString HelpWindow::manualPath() {
    return Seam::programFolder() + QStringLiteral("/README.md");
}

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Clausewright Help"));
    WindowStyle::exposeAsWindow(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("manual"));
    m_browser->setAccessibleName(tr("Manual"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setTabChangesFocus(true);
    m_browser->setMarkdown(manualText());
    auto *aboutButton = new QPushButton(tr("&About Clausewright"), this);
    aboutButton->setObjectName(QStringLiteral("about"));
    auto *closeButton = new QPushButton(tr("&Close"), this);
    closeButton->setObjectName(QStringLiteral("close"));
    connect(aboutButton, &QPushButton::clicked, this, [this] { about(this); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto *close = new QShortcut(QKeySequence::Cancel, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(aboutButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addLayout(buttons);
    resize(QSize(760, 640).boundedTo(parent ? parent->screen()->availableGeometry().size() * 0.9
                                            : QSize(760, 640)));
}

void HelpWindow::showSection(const QString &section) {
    m_browser->moveCursor(QTextCursor::Start);
    if (section.isEmpty() || !m_browser->find(section))
        return;
    // The heading at the top of the view, not just somewhere in it.
    const int top = m_browser->cursorRect().top();
    m_browser->verticalScrollBar()->setValue(m_browser->verticalScrollBar()->value() + top - 4);
}
