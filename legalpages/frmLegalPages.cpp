#include "legalpages/frmLegalPages.h"

#include "controllib/QkFile.h"
#include "core/UserMessage.h"
#include "legalpages/PageGenerator.h"
#include "legalpages/SiteFactsSession.h"
#include "legalpages/SitePlacement.h"
#include "legalpages/frmInsertLinksTMP.h"
#include "legalpages/frmSiteFacts.h"
#include "widgets/CatalogueList.h"
#include "widgets/DriveList.h"
#include "widgets/FileList.h"
#include "widgets/FolderDrop.h"
#include "widgets/FolderList.h"
#include "widgets/HelpWindow.h"
#include "widgets/QkFrame.h"
#include "widgets/Seam.h"
#include "widgets/Twips.h"
#include "widgets/WindowStyle.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include <utility>

using namespace WindowStyle;

namespace {

// A label that shows its caption as typed, never as mark-up.
QLabel *plainLabel(QWidget *parent, const char *name, const QString &caption, int left, int top,
                   int width, int height, const QFont &font) {
    QLabel *widget = label(parent, name, caption, left, top, width, height, font);
    widget->setTextFormat(Qt::PlainText);
    return widget;
}

// A working field of page generation: text only, never shown, so no screen reader meets it.
QTextDocument *workingField(QObject *parent, const char *name) {
    auto *field = new QTextDocument(parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QLineEdit *siteField(QWidget *parent, const char *name, int top) {
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    // The window's own font, as its captions have, not the desktop's: the field is laid out for it.
    field->setFont(plain());
    Twips::place(field, 1440, top, 2940, 375);
    return field;
}

} // namespace

frmLegalPages::frmLegalPages(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmLegalPages"));
    exposeAsWindow(this);
    // An ordinary resizable window; the controls keep their places when it is resized, so it is
    // never made smaller than they need, unless the screen is smaller (then they scroll).
    resize(Twips::size(12405, 9045));
    setMinimumSize(Twips::size(12405, 9045));

    Picture1 = band(this, "Picture1", QColor(64, 64, 64), 0, 0, 12405, 735);
    Label3 = plainLabel(Picture1, "Label3", QStringLiteral("Add Legal Pages to Website"), 180, 180,
                        6360, 330, verdana(12, true));
    setTextColor(Label3, Qt::white);

    buildPickers();
    buildPanel();

    const QFont buttonFont = verdana(9.75, true);
    cmdCreatePages = button(this, "cmdCreatePages", QStringLiteral("&Add Pages"), 5445, 7425, 6495,
                            555, buttonFont);
    Command1 =
        button(this, "Command1", QStringLiteral("&Close"), 5445, 8100, 6495, 555, buttonFont);

    // In the free space of the title band, right of the title: the site's facts.
    cmdSiteFacts = button(Picture1, "cmdSiteFacts", QStringLiteral("Site Fac&ts..."), 9420, 150,
                          2520, 435, verdana(8.25, true));

    buildWorkingFields();
    Form_Load();
    fitCaptions(this);

    connect(lstDisclaimers, &CatalogueList::Click, this, &frmLegalPages::lstDisclaimers_Click);
    connect(Drive1, &DriveList::driveChanged, this, &frmLegalPages::Drive1_Change);
    connect(Dir1, &FolderList::changed, this, &frmLegalPages::Dir1_Change);
    connect(cmdCreatePages, &QPushButton::clicked, this, &frmLegalPages::cmdCreatePages_Click);
    connect(Command1, &QPushButton::clicked, this, &frmLegalPages::Command1_Click);
    // A folder dropped on the window is opened in the folder list, as a click there would.
    FolderDrop::enable(
        this, [this](const QString &folder) { return Dir1->setPath(folder); },
        [this] { return !m_running; });
    HelpWindow::install(this, QStringLiteral("Adding legal pages to a web site"));
    connect(cmdSiteFacts, &QPushButton::clicked, this, &frmLegalPages::cmdSiteFacts_Click);
}

void frmLegalPages::buildPickers() {
    Label2 = plainLabel(
        this, "Label2",
        QStringLiteral(
            "Please select a &folder from your computer, with an HTML website (.HTML, .HTM)."),
        405, 900, 4110, 420, plain());

    // All three start at the process's current folder.
    Drive1 = placed(new DriveList(this), "Drive1", 405, 1485, 4065, 315);
    Dir1 = placed(new FolderList(this), "Dir1", 405, 1890, 4065, 3465);
    File1 = placed(new FileList(this), "File1", 405, 5490, 4065, 1650);
    File1->list(Dir1->path(), QStringLiteral("*.htm;*.html"));
    tie(Label2, Dir1);
    File1->setAccessibleName(tr("Web pages in the folder"));

    Frame1 = new QGroupBox(QStringLiteral("Instructions   "), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFont(plain(true));
    Twips::place(Frame1, 405, 7155, 4110, 1545);
    Label1 = plainLabel(Frame1, "Label1",
                        QStringLiteral("Select a Folder with a website (.htm or .html pages). Then "
                                       "select the legal pages to add and click \"Add Pages\"."),
                        315, 495, 3435, 735, plain());
}

void frmLegalPages::buildPanel() {
    QkFrame1 = new QkFrame(this);
    QkFrame1->setObjectName(QStringLiteral("QkFrame1"));
    QkFrame1->setExpandedValue(6405);
    QkFrame1->setTwipsGeometry(5445, 945, 6450);
    QkFrame1->setExpanded(true);
    // The window's only panel stays open.
    connect(QkFrame1, &QkFrame::ExpandCollapse, QkFrame1, [this] { QkFrame1->setExpanded(true); });

    lblMenu = plainLabel(QkFrame1, "lblMenu", QStringLiteral(" > Add  Legal &Pages to Website"), 90,
                         45, 4245, 285, plain(true));
    // The panel cannot close, so its toggle is no keyboard stop; the header's mnemonic leads to
    // the page list.
    QkFrame1->toggleButton()->setFocusPolicy(Qt::NoFocus);
    QkFrame1->toggleButton()->setAccessibleName(nameFromCaption(lblMenu->text()));
    setBackground(lblMenu, QColor(0, 128, 0));
    setTextColor(lblMenu, Qt::white);
    lblMenu->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblLegalDisclaimersTooltip =
        plainLabel(QkFrame1, "lblLegalDisclaimersTooltip", QStringLiteral("0 Selected"), 4725, 90,
                   1455, 195, plain());
    lblLegalDisclaimersTooltip->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblLegalDisclaimersTooltip->setWordWrap(false);

    lstDisclaimers = new CatalogueList(QkFrame1);
    lstDisclaimers->setObjectName(QStringLiteral("lstDisclaimers"));
    Twips::place(lstDisclaimers, 360, 675, 5640, 1860);
    tie(lblMenu, lstDisclaimers);
    lstDisclaimers->setAccessibleName(tr("Legal pages"));
    lstDisclaimers->setAccessibleDescription(lblLegalDisclaimersTooltip->text());
    lblMenu->setAccessibleName(nameFromCaption(lblMenu->text()));

    Label14 = plainLabel(QkFrame1, "Label14", QStringLiteral("Pre&view"), 360, 2610, 825, 240,
                         plain(true));
    txtDisclaimerPreview = new QPlainTextEdit(QkFrame1);
    txtDisclaimerPreview->setObjectName(QStringLiteral("txtDisclaimerPreview"));
    txtDisclaimerPreview->setReadOnly(true);
    txtDisclaimerPreview->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                                  Qt::TextSelectableByKeyboard);
    txtDisclaimerPreview->setTabChangesFocus(true);
    txtDisclaimerPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBoxBackground(txtDisclaimerPreview, QColor(224, 224, 224));
    Twips::place(txtDisclaimerPreview, 360, 2925, 5595, 1860);
    tie(Label14, txtDisclaimerPreview);

    // Each label lies under the left end of its field, as laid out.
    const QFont labelFont = verdana(8.25, true);
    Label5 = plainLabel(QkFrame1, "Label5", QStringLiteral("Site &Name:"), 360, 5040, 1635, 375,
                        labelFont);
    Label6 = plainLabel(QkFrame1, "Label6", QStringLiteral("Site &Url:"), 360, 5445, 1635, 375,
                        labelFont);
    Label7 =
        plainLabel(QkFrame1, "Label7", QStringLiteral("e-&mail:"), 360, 5850, 1635, 375, labelFont);
    txtSiteName = siteField(QkFrame1, "txtSiteName", 4950);
    txtSiteUrl = siteField(QkFrame1, "txtSiteUrl", 5355);
    txtemail = siteField(QkFrame1, "txtemail", 5760);
    tie(Label5, txtSiteName);
    tie(Label6, txtSiteUrl);
    tie(Label7, txtemail);
}

void frmLegalPages::buildWorkingFields() {
    frPageParser = new QObject(this);
    frPageParser->setObjectName(QStringLiteral("frPageParser"));
    txtSelectedPolicy = workingField(frPageParser, "txtSelectedPolicy");
    txtTargetFileContent = workingField(frPageParser, "txtTargetFileContent");
    txtLinks = workingField(frPageParser, "txtLinks");
}

void frmLegalPages::Form_Load() {
    setWindowTitle(QStringLiteral("Add Legal Pages to Website"));
    m_pagesFolder = Seam::programFolder() + QStringLiteral("/templates/pages");

    QList<CatalogueEntry> entries;
    QString reason;
    if (!Catalogue::list(m_pagesFolder, entries, &reason)) {
        m_loadError = QStringLiteral("The folder of legal page templates \"%1\" cannot be read "
                                     "(%2), so there are no pages to add.")
                          .arg(QDir::toNativeSeparators(m_pagesFolder), reason);
    }
    lstDisclaimers->setEntries(entries);
    m_catalogue = entries;
}

void frmLegalPages::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    // On a small screen the content scrolls in a window as large as the screen allows.
    placeOnScreen(this);
    if (!m_loadError.isEmpty()) {
        // Told once the window stands on the screen, behind the message.
        QTimer::singleShot(0, this, [this] {
            Seam::information(this, std::exchange(m_loadError, QString()), QStringLiteral("Error"));
        });
    }
}

QString frmLegalPages::linkCode() const {
    return txtLinks->toPlainText();
}

void frmLegalPages::UpdateSelectedCount() {
    lblLegalDisclaimersTooltip->setText(QString::number(lstDisclaimers->tickedCount()) +
                                        QStringLiteral(" Selected"));
    lstDisclaimers->setAccessibleDescription(lblLegalDisclaimersTooltip->text());
}

void frmLegalPages::lstDisclaimers_Click() {
    UpdateSelectedCount();
    const int row = lstDisclaimers->currentRow();
    const CatalogueEntry entry = lstDisclaimers->entry(row);
    if (entry.displayName.isEmpty())
        return;
    // The entry's own file, as stored: placeholders unfilled. A file that cannot be read shows
    // nothing rather than the text of another entry.
    QString text;
    QkFile::LoadTextFromFile(text, entry.filePath);
    txtDisclaimerPreview->setPlainText(text);
}

void frmLegalPages::Drive1_Change(const QString &root) {
    // A drive that cannot be opened is ignored: the folder and file lists stay where they were.
    Dir1->setPath(root);
}

void frmLegalPages::Dir1_Change(const QString &path) {
    Drive1->selectDriveOf(path);
    File1->setPath(path);
}

void frmLegalPages::cmdCreatePages_Click() {
    // A click while a run is yielding to the window system starts nothing.
    if (m_running)
        return;

    // Everything the run needs is read now, at the click; the job makes every check.
    QList<bool> ticked;
    for (int row = 0; row < lstDisclaimers->count(); ++row)
        ticked.append(lstDisclaimers->isTicked(row));
    // The site's facts, from the facts file the Site Facts window uses, checked against a scan
    // of the site's pages.
    if (m_siteFacts) {
        // The pages state the facts file: answers typed but not saved are saved first if wished.
        if (m_siteFacts->isModified() &&
            Seam::question(this,
                           QStringLiteral("The Site Facts window has answers that are not saved. "
                                          "Save them before the pages are written?"),
                           QStringLiteral("Site Facts")))
            m_siteFacts->save();
        m_factsPath = m_siteFacts->session().factsPath();
    }
    SiteFactsSession facts(Dir1->path(), Seam::programFolder());
    QString factsError;
    if (!facts.load(m_factsPath.isEmpty() ? facts.factsPath() : m_factsPath, &factsError)) {
        Seam::information(this, factsError, QStringLiteral("Error"));
        return;
    }
    QString layoutProblem;
    facts.layout(&layoutProblem);
    if (!layoutProblem.isEmpty()) {
        Seam::information(this, layoutProblem + QStringLiteral(". No page was written."),
                          QStringLiteral("Error"));
        return;
    }
    PageGenerator generator =
        facts.generator(m_pagesFolder, lstDisclaimers->tickedEntries(),
                        {txtSiteName->text(), txtSiteUrl->text(), txtemail->text()});
    UserMessage refusal;
    const bool prepared = generator.prepare(&refusal);
    const bool contradicted = !facts.contradictions().isEmpty();
    // Once the page list, the site fields and the templates pass, the facts must hold.
    const bool checked = prepared || !generator.missingFacts().isEmpty();
    if (checked && generator.templateFaults().isEmpty() &&
        (contradicted || !generator.missingFacts().isEmpty())) {
        openSiteFacts(generator.missingFacts());
        return;
    }
    if (!prepared) {
        Seam::information(this, refusal.text, refusal.title);
        return;
    }

    // An edited page, or one this program did not write, is replaced only when the user says so.
    enum class ForAll { Ask, Replace, Keep } forAll = ForAll::Ask;
    generator.setReplaceQuestion([this, &forAll](const QString &fileName,
                                                 PageReplacement::Decision found, int after) {
        if (forAll != ForAll::Ask)
            return forAll == ForAll::Replace;
        QStringList buttons{QStringLiteral("Replace"), QStringLiteral("Keep")};
        if (after > 0)
            buttons << QStringLiteral("Replace All") << QStringLiteral("Keep All");
        const int choice = Seam::choose(
            this,
            QStringLiteral("%1 is already in the site folder, and %2.\n\nReplace it with the new "
                           "page, or keep it as it is?")
                .arg(fileName, PageGenerator::keptReason(found)),
            QStringLiteral("Replace Page?"), buttons);
        if (choice >= 2)
            forAll = choice == 2 ? ForAll::Replace : ForAll::Keep;
        return choice == 0 || choice == 2;
    });

    m_running = true;
    m_closeWhenDone = false;
    const QPointer<frmLegalPages> self(this);
    txtLinks->clear();
    int next = 0;
    for (int row = 0; row < ticked.size(); ++row) {
        lstDisclaimers->makeCurrent(row);
        if (!ticked.at(row))
            continue;
        PageGenerator::Page page;
        const bool written = generator.makePage(next++, &page);
        txtSelectedPolicy->setPlainText(page.content);
        txtTargetFileContent->setPlainText(
            page.applies ? page.text
                         : QStringLiteral("This page does not apply to the site's facts, so it "
                                          "was not written."));

        // Let the window repaint; it may be closed meanwhile, which ends the run.
        QCoreApplication::processEvents();
        if (!self)
            return;
        if (!written)
            continue;
        File1->refresh();
        txtLinks->setPlainText(generator.links());
    }

    if (!generator.failures().isEmpty())
        Seam::information(this, generator.failureReport(), QStringLiteral("Error"));
    if (!self)
        return;
    if (generator.links().isEmpty()) {
        m_running = false;
        if (std::exchange(m_closeWhenDone, false))
            close();
        return;
    }
    txtLinks->setPlainText(generator.linkCode());
    placeIntoSite(facts.facts(), generator.written());
    if (!self)
        return;

    // The link code window is no child of this one: its "Close Window" closes this window, which
    // may then be gone by the time the dialog returns.
    frmInsertLinksTMP links(this);
    links.exec();
    if (!self)
        return;
    m_running = false;
    if (std::exchange(m_closeWhenDone, false))
        close();
}

void frmLegalPages::closeEvent(QCloseEvent *event) {
    // Pages are being written: the run finishes and shows its link code, then the window closes.
    if (m_running) {
        m_closeWhenDone = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmLegalPages::placeIntoSite(const Facts &facts, const QStringList &written) {
    SitePlacement::Request request;
    request.links = facts.flag(QStringLiteral("place.links"));
    request.consent = facts.flag(QStringLiteral("place.consent"));
    if (!request.links && !request.consent)
        return;
    request.siteFolder = Dir1->path();
    request.catalogue = m_catalogue;
    request.coming = written;
    request.facts = facts;
    request.dataFolder = Seam::programFolder();
    const SitePlacement::Outcome outcome = SitePlacement::place(request);
    QString text = outcome.refusal.isEmpty()
                       ? QStringLiteral("%1 of the site's pages now %2; %3 had them already.")
                             .arg(outcome.summary.changed)
                             .arg(request.consent ? QStringLiteral("wait for consent")
                                                  : QStringLiteral("link to the legal pages"))
                             .arg(outcome.summary.unchanged)
                       : outcome.refusal;
    for (const QString &line : outcome.said)
        text += QLatin1Char('\n') + line;
    if (!outcome.failure.isEmpty())
        text += QLatin1Char('\n') + outcome.failure;
    Seam::information(this, text, QStringLiteral("Site Pages"));
}

void frmLegalPages::cmdSiteFacts_Click() {
    openSiteFacts({});
}

void frmLegalPages::openSiteFacts(const QStringList &open) {
    if (m_siteFacts)
        m_siteFacts->close();
    m_siteFacts = new frmSiteFacts(
        Dir1->path(), Seam::programFolder(), lstDisclaimers->tickedEntries(),
        {txtSiteName->text(), txtSiteUrl->text(), txtemail->text()}, m_factsPath, this);
    m_siteFacts->setAttribute(Qt::WA_DeleteOnClose);
    m_siteFacts->setWindowFlag(Qt::Window);
    connect(m_siteFacts, &QDialog::finished, this, [this] {
        if (m_siteFacts)
            m_factsPath = m_siteFacts->session().factsPath();
    });
    m_siteFacts->show();
    m_siteFacts->showOpen(open);
}

void frmLegalPages::Command1_Click() {
    close();
}
