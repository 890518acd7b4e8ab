#include "bulk/frmMass.h"

#include "widgets/CatalogueList.h"

#include "bulk/BatchJob.h"
#include "bulk/BatchRun.h"
#include "bulk/BatchWorker.h"
#include "bulk/RunQuestions.h"
#include "controllib/QkFile.h"
#include "core/LocalPath.h"
#include "widgets/DriveList.h"
#include "widgets/FileList.h"
#include "widgets/FolderDrop.h"
#include "widgets/FolderList.h"
#include "widgets/HelpWindow.h"
#include "widgets/LogView.h"
#include "widgets/QkFrame.h"
#include "widgets/Seam.h"
#include "widgets/Twips.h"
#include "widgets/WindowStyle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

QFont plain(bool bold = false) {
    return WindowStyle::plain(bold);
}

const QString kTitle = QStringLiteral("Add Legal Terms and Conditions to Articles (.txt)");
const QString kVersion = QStringLiteral("2.2");
const QString kByLine = QStringLiteral(" ");

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption, bool checked,
                    int left, int top, int width, int height) {
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(plain());
    box->setChecked(checked);
    Twips::place(box, left, top, width, height);
    return box;
}

QLineEdit *lineEdit(QWidget *parent, const char *name, const QString &text, int left, int top,
                    int width, int height) {
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFont(plain());
    Twips::place(edit, left, top, width, height);
    return edit;
}

QPlainTextEdit *textBox(QWidget *parent, const char *name, int left, int top, int width,
                        int height) {
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(plain());
    box->setReadOnly(true);
    // Read with the keyboard too (a screen reader follows the caret); Tab moves on.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setTabChangesFocus(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Twips::place(box, left, top, width, height);
    return box;
}

} // namespace

frmMass::frmMass(QString &outputFolder, QWidget *parent)
    : QDialog(parent), OutputFolder(outputFolder),
      m_synonyms(BulkData::pathOf(Seam::programFolder(), QStringLiteral("rwdb.txt"))) {
    setObjectName(QStringLiteral("frmMass"));
    setFont(plain());
    WindowStyle::makeFixedWindow(this, 12375, 9045);

    buildBanner();
    buildFolderColumn();
    buildRecommendationPanel();
    buildDisclaimerPanel();
    buildRunControls();

    // The folder column and the buttons first, then the panels from top to bottom, then the log.
    QWidget *const tabOrder[]{Dir1,
                              File1,
                              Drive1,
                              vbtnLoad,
                              Command1,
                              Command2,
                              QkFrameMenu[0]->toggleButton(),
                              chkBegins,
                              chkCenter1,
                              chkEnds,
                              chkCenter2,
                              txtBenefit,
                              txtUrl,
                              txtLinkText,
                              QkFrameMenu[1]->toggleButton(),
                              lstDisclaimers,
                              txtDisclaimerPreview,
                              txtLog};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &frmMass::Timer1_Timer);
    tmrPleaseWait = new QTimer(this);
    tmrPleaseWait->setObjectName(QStringLiteral("tmrPleaseWait"));
    tmrPleaseWait->setInterval(300);
    connect(tmrPleaseWait, &QTimer::timeout, this, &frmMass::tmrPleaseWait_Timer);

    Form_Load();
    WindowStyle::fitCaptions(this);
    // A folder dropped on the window is opened in the folder list, as a click there would.
    FolderDrop::enable(
        this,
        [this](const QString &folder) {
            if (!Dir1->setPath(folder))
                return false;
            Drive1->selectDriveOf(Dir1->path());
            return true;
        },
        [this] { return !isRunning(); });
    HelpWindow::install(this, QStringLiteral("Adding legal terms to articles"));
    Timer1->start();
}

frmMass::~frmMass() {
    stopRun();
}

void frmMass::buildBanner() {
    using WindowStyle::label, WindowStyle::button, WindowStyle::band, WindowStyle::verdana,
        WindowStyle::setTextColor, WindowStyle::setBackground;
    Picture2 = band(this, "Picture2", QColor(0, 0, 64), 0, 0, 12375, 870);
    lblAppName = label(Picture2, "lblAppName", QString(), 765, 225, 9015, 330, verdana(12, true));
    setTextColor(lblAppName, Qt::white);
    lblPleaseWait = label(Picture2, "lblPleaseWait", QStringLiteral("Please Wait"), 6975, 270, 4785,
                          330, plain(true));
    lblPleaseWait->setAlignment(Qt::AlignRight | Qt::AlignTop);
    setTextColor(lblPleaseWait, QColor(224, 224, 224));
    lblPleaseWait->hide();
}

void frmMass::buildFolderColumn() {
    using WindowStyle::label, WindowStyle::button, WindowStyle::band, WindowStyle::verdana,
        WindowStyle::setTextColor, WindowStyle::setBackground;
    Label6 = label(this, "Label6", QStringLiteral("Select a &Folder with Articles:"), 945, 1080,
                   3525, 330, plain(true));

    Drive1 = WindowStyle::placed(new DriveList(this), "Drive1", 945, 1485, 4065, 315);
    Dir1 = WindowStyle::placed(new FolderList(this), "Dir1", 945, 1935, 4065, 1665);
    File1 = WindowStyle::placed(new FileList(this), "File1", 945, 3870, 4065, 1650);
    File1->list(Dir1->path(), QStringLiteral("*.txt"));
    WindowStyle::tie(Label6, Dir1);
    connect(Drive1, &DriveList::driveChanged, this, &frmMass::Drive1_Change);
    connect(Dir1, &FolderList::changed, this, &frmMass::Dir1_Change);

    Frame1 = new QGroupBox(QStringLiteral("Instructions   "), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Twips::place(Frame1, 945, 5625, 4065, 2580);
    Label1 = label(Frame1, "Label1",
                   QStringLiteral("Select a Folder with articles (.txt files). Then use the "
                                  "options from the right panel to add a product recommendation "
                                  "and/or legal disclaimers."),
                   315, 315, 3255, 1050, plain());
    Label2 = label(Frame1, "Label2",
                   QStringLiteral("Once the process is complete, click \"Open Output  Folder\" to "
                                  "see the files."),
                   360, 1305, 3030, 510, plain());
    Label8 = label(Frame1, "Label8",
                   QStringLiteral("The software will use rotate the text of each recommendation "
                                  "on each article."),
                   360, 1890, 3300, 510, plain());

    Label3 =
        label(this, "Label3", QStringLiteral("Files Found:"), 1035, 8460, 1185, 285, plain(true));
    lblFilesFound =
        label(this, "lblFilesFound", QStringLiteral("0"), 2295, 8460, 2670, 285, plain());
    WindowStyle::tie(Label3, File1);
}

void frmMass::buildRecommendationPanel() {
    using WindowStyle::label, WindowStyle::button, WindowStyle::band, WindowStyle::verdana,
        WindowStyle::setTextColor, WindowStyle::setBackground;
    auto *panel = new QkFrame(this);
    QkFrameMenu[0] = panel;
    panel->setObjectName(QStringLiteral("QkFrameMenu_0"));
    panel->setExpandedValue(4380);
    panel->setTwipsGeometry(5490, 1035, 6450);

    lblMenu[0] =
        label(panel, "lblMenu_0", QStringLiteral(" > Add &Product Recommendations to Articles"), 90,
              45, 4245, 285, plain(true));
    lblProductRecommendationsTooltip =
        label(panel, "lblProductRecommendationsTooltip", QStringLiteral("Disabled"), 3375, 45, 2805,
              195, plain());
    lblProductRecommendationsTooltip->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label9 = label(panel, "Label9",
                   QStringLiteral("Add a Product Recommendation (Affiliate etc) on Each Article:"),
                   180, 585, 6045, 330, plain(true));
    chkBegins = checkBox(panel, "chkBegins",
                         QStringLiteral("Add Recommendation Before the &Article Begins"), true, 180,
                         945, 3975, 375);
    chkCenter1 =
        checkBox(panel, "chkCenter1", QStringLiteral("Center"), false, 4185, 990, 1500, 240);
    chkEnds =
        checkBox(panel, "chkEnds", QStringLiteral("Add Recommendation at The &End of The Article"),
                 true, 180, 1350, 3975, 375);
    chkCenter2 =
        checkBox(panel, "chkCenter2", QStringLiteral("Center"), false, 4185, 1440, 1500, 240);
    Label10 = label(panel, "Label10", QStringLiteral("This product is for people who &need to:"),
                    90, 2340, 4875, 330, plain(true));
    // The examples are hints, never values: a run never publishes them unchanged.
    txtBenefit = lineEdit(panel, "txtBenefit", QString(), 3555, 2295, 2670, 375);
    txtBenefit->setPlaceholderText(QStringLiteral("Make Money with Forex"));
    Label11 = label(panel, "Label11", QStringLiteral("Your &Url (Affiliate Link etc):"), 135, 2790,
                    2490, 375, plain(true));
    txtUrl = lineEdit(panel, "txtUrl", QString(), 2700, 2790, 2625, 375);
    txtUrl->setPlaceholderText(QStringLiteral("http://"));
    Label12 =
        label(panel, "Label12", QStringLiteral("&Link Text:"), 180, 3285, 1185, 375, plain(true));
    txtLinkText = lineEdit(panel, "txtLinkText", QString(), 1170, 3240, 4560, 375);
    connect(txtLinkText, &QLineEdit::textChanged, this, &frmMass::txtLinkText_Change);
    Label13 = label(panel, "Label13",
                    QStringLiteral("Tip: If you want to rotate your link text, separate each text "
                                   "with a comma. Example: Awesome Trading Robot,Recommended "
                                   "Trading Robot"),
                    135, 3690, 6090, 555, plain());
    WindowStyle::setOwnTextColor(Label13, QColor(64, 64, 64));

    panel->setHeader(lblMenu[0]);
    WindowStyle::tie(Label10, txtBenefit);
    WindowStyle::tie(Label11, txtUrl);
    WindowStyle::tie(Label12, txtLinkText);
    // Both read "Center": say which recommendation each one centres.
    chkCenter1->setAccessibleName(tr("Center the recommendation before the article"));
    chkCenter2->setAccessibleName(tr("Center the recommendation at the end of the article"));
}

void frmMass::buildDisclaimerPanel() {
    using WindowStyle::label, WindowStyle::button, WindowStyle::band, WindowStyle::verdana,
        WindowStyle::setTextColor, WindowStyle::setBackground;
    auto *panel = new QkFrame(this);
    QkFrameMenu[1] = panel;
    panel->setObjectName(QStringLiteral("QkFrameMenu_1"));
    panel->setExpandedValue(4470);
    panel->setTwipsGeometry(5490, 1035 + QkFrame::CollapsedHeight + 30, 6450);

    lblMenu[1] = label(panel, "lblMenu_1", QStringLiteral(" > Add  Legal &Disclaimers to Articles"),
                       90, 45, 4245, 285, plain(true));
    lblLegalDisclaimersTooltip = label(panel, "lblLegalDisclaimersTooltip",
                                       QStringLiteral("0 Selected"), 4725, 90, 1455, 195, plain());
    lblLegalDisclaimersTooltip->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lstDisclaimers = new CatalogueList(panel);
    lstDisclaimers->setObjectName(QStringLiteral("lstDisclaimers"));
    Twips::place(lstDisclaimers, 360, 675, 5640, 2085);
    connect(lstDisclaimers, &CatalogueList::Click, this, &frmMass::lstDisclaimers_Click);
    Label14 = label(panel, "Label14", QStringLiteral("Pre&view"), 360, 2790, 825, 240, plain(true));
    txtDisclaimerPreview = textBox(panel, "txtDisclaimerPreview", 360, 3150, 5595, 1185);
    WindowStyle::setBoxBackground(txtDisclaimerPreview, QColor(224, 224, 224));
    WindowStyle::tie(Label14, txtDisclaimerPreview);
    lstDisclaimers->setAccessibleName(tr("Legal disclaimers"));
    panel->setHeader(lblMenu[1]);

    for (int i = 0; i < 2; ++i) {
        setBackground(lblMenu[i], QColor(0, 128, 0));
        setTextColor(lblMenu[i], Qt::white);
        lblMenu[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        lblMenu[i]->setCursor(Qt::PointingHandCursor);
        lblMenu[i]->installEventFilter(this);
        connect(QkFrameMenu[i], &QkFrame::ExpandCollapse, this,
                [this, i] { QkFrameMenu_ExpandCollapse(i); });
    }
}

void frmMass::buildRunControls() {
    using WindowStyle::label, WindowStyle::button, WindowStyle::band, WindowStyle::verdana,
        WindowStyle::setTextColor, WindowStyle::setBackground;
    vbtnLoad = button(this, "vbtnLoad", QStringLiteral("&Begin Process"), 5490, 6075, 3390, 600,
                      plain(true));
    Command1 = button(this, "Command1", QStringLiteral("&Open Output Folder"), 9090, 6075, 2850,
                      600, plain(true));
    Label5 = label(this, "Label5", QStringLiteral("Lo&g"), 5490, 6750, 1770, 330, plain(true));
    WindowStyle::setOwnTextColor(Label5, QColor(0, 0, 255));
    // Shown only while a run works, beside the log's caption.
    prgRun = new QProgressBar(this);
    prgRun->setObjectName(QStringLiteral("prgRun"));
    prgRun->setFont(plain());
    prgRun->setFormat(QStringLiteral("%v of %m"));
    prgRun->setTextVisible(true);
    Twips::place(prgRun, 7365, 6765, 4440, 300);
    prgRun->setAccessibleName(tr("Articles done"));
    prgRun->hide();
    txtLog = WindowStyle::placed(new LogView(this), "txtLog", 5490, 7155, 6315, 780);
    txtLog->setFont(plain());
    WindowStyle::tie(Label5, txtLog);
    Command2 =
        button(this, "Command2", QStringLiteral("&Close"), 5490, 8100, 6360, 645, plain(true));

    connect(vbtnLoad, &QPushButton::clicked, this, &frmMass::vbtnLoad_Click);
    connect(Command1, &QPushButton::clicked, this, &frmMass::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMass::Command2_Click);
}

void frmMass::Form_Load() {
    setWindowTitle(kTitle + QLatin1Char(' ') + kVersion + QLatin1Char(' ') + kByLine);
    lblAppName->setText(kTitle);

    m_data.load(Seam::programFolder());
    m_loadProblems = m_data.problemMessage();

    lstDisclaimers->setEntries(m_data.catalogue);

    UpdateFilesFound();
    QkFrameMenu[0]->setStatus(lblProductRecommendationsTooltip->text());
    QkFrameMenu[1]->setStatus(lblLegalDisclaimersTooltip->text());
    lstDisclaimers->setAccessibleDescription(lblLegalDisclaimersTooltip->text());
    SelectPanel(0);
}

void frmMass::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    WindowStyle::placeOnScreen(this);
    Dir1->setFocus(Qt::OtherFocusReason);
    if (!m_loadProblems.isEmpty()) {
        // Once the window is up, so the message stands in front of it.
        QMetaObject::invokeMethod(
            this, [this] { Seam::information(this, m_loadProblems, QStringLiteral("Error")); },
            Qt::QueuedConnection);
    }
}

void frmMass::SelectPanel(int index) {
    if (index == 0) {
        QkFrameMenu[0]->setExpanded(true);
        QkFrameMenu[1]->setExpanded(false);
        QkFrameMenu[0]->setSecondState(false);
        QkFrameMenu[1]->setSecondState(true);
    } else {
        QkFrameMenu[1]->setExpanded(true);
        QkFrameMenu[0]->setExpanded(false);
        QkFrameMenu[0]->setSecondState(true);
        QkFrameMenu[1]->setSecondState(false);
    }
    QkFrameMenu[1]->setTopTwips(QkFrameMenu[0]->topTwips() + QkFrameMenu[0]->heightTwips() + 30);
}

void frmMass::lblMenu_Click(int index) {
    SelectPanel(index);
}

void frmMass::QkFrameMenu_ExpandCollapse(int index) {
    SelectPanel(index);
}

bool frmMass::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < 2; ++i) {
            if (watched == lblMenu[i]) {
                lblMenu_Click(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMass::Drive1_Change(const QString &root) {
    // A drive that cannot be opened changes nothing and reports nothing.
    Dir1->setPath(root);
}

void frmMass::Dir1_Change() {
    File1->setPath(Dir1->path());
    UpdateFilesFound();
}

void frmMass::UpdateFilesFound() {
    lblFilesFound->setText(QString::number(File1->count()));
}

void frmMass::lstDisclaimers_Click() {
    UpdateSelectedCount();
    const CatalogueEntry entry = lstDisclaimers->entry(lstDisclaimers->currentRow());
    if (entry.displayName.isEmpty())
        return;
    QString text;
    if (!QkFile::LoadTextFromFile(text, entry.filePath))
        text.clear();
    txtDisclaimerPreview->setPlainText(text);
}

void frmMass::UpdateSelectedCount() {
    lblLegalDisclaimersTooltip->setText(QString::number(lstDisclaimers->tickedCount()) +
                                        QStringLiteral(" Selected"));
    QkFrameMenu[1]->setStatus(lblLegalDisclaimersTooltip->text());
    lstDisclaimers->setAccessibleDescription(lblLegalDisclaimersTooltip->text());
}

void frmMass::txtLinkText_Change() {
    // A link text of separators alone ("," or ", ,") names no link: no recommendation is added.
    lblProductRecommendationsTooltip->setText(
        RecommendationBuilder::linkTexts(txtLinkText->text()).isEmpty()
            ? QStringLiteral("Disabled")
            : QStringLiteral("Enabled"));
    QkFrameMenu[0]->setStatus(lblProductRecommendationsTooltip->text());
}

void frmMass::Command1_Click() {
    if (OutputFolder.isEmpty()) {
        Seam::information(this, QStringLiteral("Please process some files first."),
                          QStringLiteral("Error"));
        return;
    }
    const QPointer<frmMass> self(this);
    const auto cannotOpen = [self, folder = OutputFolder] {
        if (!self)
            return;
        Seam::information(self,
                          QStringLiteral("The output folder %1 could not be opened. It may have "
                                         "been moved or deleted, or no file manager is available.")
                              .arg(QDir::toNativeSeparators(LocalPath::shown(folder))),
                          QStringLiteral("Error"));
    };
    if (!Seam::openFolder(OutputFolder, cannotOpen))
        cannotOpen();
}

void frmMass::Command2_Click() {
    close();
}

void frmMass::closeEvent(QCloseEvent *event) {
    if (isRunning()) {
        event->ignore();
        askToStop();
        return;
    }
    QDialog::closeEvent(event);
}

void frmMass::keyPressEvent(QKeyEvent *event) {
    // Escape offers to stop a run; outside a run it keeps the window and what was typed in it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (isRunning())
            askToStop();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMass::reject() {
    if (isRunning()) {
        askToStop();
        return;
    }
    QDialog::reject();
}

void frmMass::askToStop() {
    if (m_stopping || m_asking)
        return;
    m_asking = true;
    const bool yes = Seam::question(
        this,
        QStringLiteral("Articles are still being written. Stop the run after the article at hand "
                       "and close the window?\n\nThe articles written so far stay in the output "
                       "folder."),
        QStringLiteral("Stop the Run?"));
    m_asking = false;
    if (!yes)
        return;
    if (isRunning()) {
        m_stopping = true;
        m_worker->stop();
        return;
    }
    // The run ended as the user answered. The question may have come from a close request still
    // being handled, inside which a second one would be dropped: close once it is over.
    QMetaObject::invokeMethod(this, &frmMass::close, Qt::QueuedConnection);
}

BatchJob frmMass::snapshot() const {
    BatchJob job;
    job.articleFolder = Dir1->path();
    job.fileNames = File1->localNames();
    job.filesFound = lblFilesFound->text();
    job.recommendation.benefit = txtBenefit->text();
    job.recommendation.url = txtUrl->text();
    job.recommendation.linkText = txtLinkText->text();
    job.recommendation.begins = chkBegins->isChecked();
    job.recommendation.ends = chkEnds->isChecked();
    job.recommendation.center1 = chkCenter1->isChecked();
    job.recommendation.center2 = chkCenter2->isChecked();
    job.phrases = m_data.phrases;
    job.phraseFiles = m_data.phraseFiles;
    job.tickedDisclaimers = lstDisclaimers->tickedEntries();
    return job;
}

void frmMass::vbtnLoad_Click() {
    if (isRunning())
        return;
    // The run works on the folder as it is now, not as it was when it was listed.
    File1->refresh();
    UpdateFilesFound();
    BatchJob job = snapshot();
    if (const auto refusal = job.refusal()) {
        Seam::information(this, refusal->text, refusal->title);
        return;
    }
    if (!RunQuestions::ask(this, job, m_sponsor, Seam::programFolder()))
        return;
    const bool withDisclaimers = !job.tickedDisclaimers.isEmpty();
    const bool withRecommendation = job.wantsRecommendation();
    const QString filesFound = job.filesFound;
    auto run = std::make_unique<BatchRun>(std::move(job), Seam::random());
    BatchMessage refusal;
    if (!run->prepare(&refusal)) {
        Seam::information(this, refusal.text, refusal.title);
        return;
    }
    OutputFolder = run->outputFolder();
    if (withRecommendation) {
        // The run goes ahead: the link texts are shown as it uses them, "A, B" as "A,B".
        const QString normalised = RecommendationBuilder::normaliseLinkText(txtLinkText->text());
        if (normalised != txtLinkText->text())
            txtLinkText->setText(normalised);
    }
    const int total = run->count();

    txtLog->clear();
    m_logLines = 0;
    m_focusBeforeRun = focusWidget();
    setRunning(true);
    appendLog(BatchRun::firstLogLine(filesFound));
    if (withDisclaimers) {
        // Each entry in turn becomes the current one, as when the block is read from the list.
        for (int i = 0; i < lstDisclaimers->count(); ++i)
            lstDisclaimers->makeCurrent(i);
    }
    prgRun->setRange(0, total);
    prgRun->setValue(0);
    prgRun->show();

    m_thread = new QThread(this);
    m_worker = new BatchWorker(std::move(run));
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::started, m_worker, &BatchWorker::work);
    connect(m_worker, &BatchWorker::progress, this, &frmMass::articlesDone);
    connect(m_worker, &BatchWorker::finished, this, &frmMass::runFinished);
    m_thread->start();
}

QString frmMass::logText() const {
    return txtLog->text(QStringLiteral("\r\n"));
}

void frmMass::appendLog(const QString &line) {
    txtLog->appendLines({line});
}

void frmMass::setRunning(bool running) {
    // "Close" stays usable: during a run it offers to stop it.
    vbtnLoad->setEnabled(!running);
    Command1->setEnabled(!running);
    if (running) {
        tmrPleaseWait->start();
    } else {
        tmrPleaseWait->stop();
        lblPleaseWait->hide();
        prgRun->hide();
    }
}

void frmMass::articlesDone(int done, int total, const QStringList &logLines) {
    Q_UNUSED(total);
    txtLog->appendLines(logLines);
    m_logLines += int(logLines.size());
    prgRun->setValue(done);
    // The article at hand is the list's current entry, as the run walks the list.
    if (done > 0)
        File1->makeCurrent(done - 1);
}

void frmMass::runFinished(int failures, int done, bool stopped) {
    const int total = prgRun->maximum();
    stopRun();
#ifdef __GLIBC__
    // The run's working memory is free again; hand it back rather than keep it for the next run.
    malloc_trim(0);
#endif
    setRunning(false);
    if (m_asking) {
        // "Stop the Run?" is moot now: close it unanswered, so the result does not open on top
        // of it and the window stays as the user left it.
        for (QMessageBox *box : findChildren<QMessageBox *>()) {
            if (box->isVisible())
                box->done(QMessageBox::No);
        }
    }
    const bool closing = std::exchange(m_stopping, false);
    // The result in one sentence, for screen readers: said with "Begin Process" as the focus
    // comes back to it, and kept as the log's description.
    const QString summary = BatchRun::summary(
        m_logLines - failures, total, QDir::toNativeSeparators(LocalPath::shown(OutputFolder)),
        done - m_logLines, failures, stopped ? done : -1);
    vbtnLoad->setAccessibleDescription(summary);
    txtLog->setAccessibleDescription(summary);
    if (m_focusBeforeRun && m_focusBeforeRun->isEnabled() && m_focusBeforeRun->isVisible())
        m_focusBeforeRun->setFocus(Qt::OtherFocusReason);
    else if (!closing)
        vbtnLoad->setFocus(Qt::OtherFocusReason);
    if (stopped) {
        appendLog(BatchRun::stoppedLogLine(done, total));
        Seam::information(this, BatchRun::stoppedMessage(done, total, failures),
                          QStringLiteral("Process Stopped"));
    } else {
        appendLog(BatchRun::lastLogLine());
        Seam::information(this, BatchRun::finalMessage(failures),
                          QStringLiteral("Process Complete"));
    }
    if (closing)
        QMetaObject::invokeMethod(this, &frmMass::close, Qt::QueuedConnection);
}

void frmMass::stopRun() {
    if (!m_thread)
        return;
    m_worker->stop();
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
    m_worker = nullptr;
    delete m_thread;
    m_thread = nullptr;
}

void frmMass::Timer1_Timer() {
    switch (m_synonyms.Timer1_Timer()) {
    case SynonymPreload::Step::Started:
        lblPleaseWait->setText(QStringLiteral("Please Wait (Loading Synonyms)..."));
        lblPleaseWait->show();
        break;
    case SynonymPreload::Step::Waiting:
        break;
    case SynonymPreload::Step::Finished:
        Timer1->stop();
        lblPleaseWait->hide();
        lblPleaseWait->setText(QStringLiteral("Please Wait ..."));
        break;
    }
}

void frmMass::tmrPleaseWait_Timer() {
    lblPleaseWait->setVisible(lblPleaseWait->isHidden());
}
