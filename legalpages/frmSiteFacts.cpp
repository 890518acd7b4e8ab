#include "legalpages/frmSiteFacts.h"

#include "legalpages/SitePlacement.h"
#include "site/FactQuestions.h"
#include "widgets/Seam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString editorName(const QString &key) {
    return QStringLiteral("fact_") + QString(key).replace(QLatin1Char('.'), QLatin1Char('_'));
}

} // namespace

frmSiteFacts::frmSiteFacts(const QString &siteFolder, const QString &dataFolder,
                           const QList<CatalogueEntry> &pages, const ::SiteFacts &site,
                           const QString &factsPath, QWidget *parent)
    : QDialog(parent), m_session(siteFolder, dataFolder),
      m_pagesFolder(dataFolder + QStringLiteral("/templates/pages")), m_pages(pages) {
    setObjectName(QStringLiteral("frmSiteFacts"));
    setWindowTitle(QStringLiteral("Site Facts"));
    setSizeGripEnabled(true);
    resize(760, 620);

    QString error;
    if (!m_session.load(factsPath.isEmpty() ? m_session.factsPath() : factsPath, &error)) {
        Seam::information(this,
                          error + QStringLiteral("\n\nThe window shows what the scan found; the "
                                                 "file stays as it is unless you save over it."),
                          QStringLiteral("Error"));
        m_unreadable = m_session.factsPath();
    }
    // The legal pages window's fields fill what the facts leave open.
    Facts facts = m_session.facts();
    for (const auto &[key, value] :
         {std::pair{"site.name", site.name}, std::pair{"site.url", site.url},
          std::pair{"site.email", site.email}}) {
        if (!facts.known(QString::fromLatin1(key)) && !value.isEmpty())
            facts.set(QString::fromLatin1(key), value);
    }
    m_session.setFacts(facts);

    auto *layout = new QVBoxLayout(this);
    auto *fileRow = new QHBoxLayout;
    auto *pathLabel = new QLabel(QStringLiteral("Facts &file:"), this);
    m_path = new QLineEdit(QDir::toNativeSeparators(m_session.factsPath()), this);
    m_path->setObjectName(QStringLiteral("txtFactsFile"));
    m_path->setReadOnly(true);
    m_path->setAccessibleName(QStringLiteral("Facts file"));
    pathLabel->setBuddy(m_path);
    fileRow->addWidget(pathLabel);
    fileRow->addWidget(m_path, 1);
    layout->addLayout(fileRow);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    layout->addWidget(m_status);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabsFacts"));
    m_tabs->setAccessibleName(QStringLiteral("Site facts"));
    m_tabs->addTab(buildQuestions(), QStringLiteral("&Questions"));
    m_tabs->addTab(buildScan(), QStringLiteral("What the &scan found"));
    m_tabs->addTab(buildReview(), QStringLiteral("&Review notes"));
    m_tabs->addTab(buildPlacement(), QStringLiteral("In the site's &pages"));
    layout->addWidget(m_tabs, 1);

    auto *buttons = new QDialogButtonBox(this);
    m_save = buttons->addButton(QStringLiteral("Sa&ve"), QDialogButtonBox::AcceptRole);
    m_save->setObjectName(QStringLiteral("cmdSave"));
    QPushButton *saveAs =
        buttons->addButton(QStringLiteral("Save &As..."), QDialogButtonBox::ActionRole);
    saveAs->setObjectName(QStringLiteral("cmdSaveAs"));
    QPushButton *close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    layout->addWidget(buttons);
    // Enter in a field must not close the window.
    for (QPushButton *b : {m_save, saveAs, close}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(m_save, &QPushButton::clicked, this, &frmSiteFacts::save);
    connect(saveAs, &QPushButton::clicked, this, &frmSiteFacts::saveAs);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

QWidget *frmSiteFacts::buildQuestions() {
    auto *area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("scrQuestions"));
    area->setWidgetResizable(true);
    area->setAccessibleName(QStringLiteral("Questions"));
    auto *page = new QWidget(area);
    // Each question above its answer, wrapped to the width of the window.
    auto *form = new QVBoxLayout(page);
    for (const FactQuestion &q : FactQuestions::all()) {
        if (q.key.startsWith(QLatin1String("place.")))
            continue; // the "In the site's pages" tab asks these
        auto *caption = new QLabel(q.question, page);
        caption->setWordWrap(true);
        caption->setTextFormat(Qt::PlainText);
        QWidget *editor;
        const QString answer = SiteFactsSession::answerText(m_session.facts(), q.key);
        if (q.kind == Facts::Kind::Bool) {
            auto *combo = new QComboBox(page);
            combo->addItems({QString(), QStringLiteral("yes"), QStringLiteral("no")});
            combo->setCurrentIndex(answer.isEmpty() ? 0 : answer == QLatin1String("true") ? 1 : 2);
            connect(combo, &QComboBox::currentIndexChanged, this,
                    [this, key = q.key] { answerEdited(key); });
            editor = combo;
        } else {
            auto *line = new QLineEdit(answer, page);
            line->setPlaceholderText(q.kind == Facts::Kind::List
                                         ? QStringLiteral("service ids between commas, or none")
                                         : q.answers);
            connect(line, &QLineEdit::textEdited, this, [this, key = q.key] { answerEdited(key); });
            editor = line;
        }
        editor->setObjectName(editorName(q.key));
        editor->setAccessibleName(q.question);
        editor->setAccessibleDescription(
            q.key + (q.answers.isEmpty() ? QString() : QStringLiteral(": ") + q.answers));
        editor->setToolTip(q.key);
        caption->setBuddy(editor);
        form->addWidget(caption);
        form->addWidget(editor);
        form->addSpacing(6);
        m_editors.insert(q.key, editor);
        m_captions.insert(q.key, caption);
    }
    area->setWidget(page);
    return area;
}

QWidget *frmSiteFacts::buildScan() {
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *contradictionsLabel =
        new QLabel(QStringLiteral("Facts the site's pages con&tradict:"), page);
    m_contradictions = new QListWidget(page);
    m_contradictions->setObjectName(QStringLiteral("lstContradictions"));
    m_contradictions->setAccessibleName(QStringLiteral("Facts the site's pages contradict"));
    contradictionsLabel->setBuddy(m_contradictions);
    auto *foundLabel = new QLabel(QStringLiteral("Services found on the site's &pages:"), page);
    m_found = new QTreeWidget(page);
    m_found->setObjectName(QStringLiteral("treFound"));
    m_found->setAccessibleName(QStringLiteral("Services found on the site's pages"));
    m_found->setHeaderLabels(
        {QStringLiteral("Service"), QStringLiteral("Category"), QStringLiteral("Where")});
    m_found->setRootIsDecorated(false);
    foundLabel->setBuddy(m_found);
    const SiteScanResult &scan = m_session.scan();
    for (const Service &s : m_session.catalogue().services()) {
        const QStringList files = scan.found.value(s.id);
        if (files.isEmpty())
            continue;
        auto *item =
            new QTreeWidgetItem(m_found, {s.name + QStringLiteral(" (") + s.id + QLatin1Char(')'),
                                          s.category, FactCheck::where(files)});
        item->setToolTip(2, files.join(QLatin1Char('\n')));
    }
    m_found->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(contradictionsLabel);
    layout->addWidget(m_contradictions, 1);
    layout->addWidget(foundLabel);
    layout->addWidget(m_found, 3);
    return page;
}

QWidget *frmSiteFacts::buildPlacement() {
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *intro = new QLabel(QStringLiteral("What \"Add Pages\" also puts into the site's own "
                                            "pages. Everything it puts there is marked and can be "
                                            "taken out again, leaving each page as it was."),
                             page);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    const Facts &facts = m_session.facts();
    m_placeLinks = new QCheckBox(QStringLiteral("&Links to the legal pages in every page"), page);
    m_placeLinks->setObjectName(QStringLiteral("chkPlaceLinks"));
    m_placeLinks->setChecked(facts.flag(QStringLiteral("place.links")));
    layout->addWidget(m_placeLinks);
    auto *layoutRow = new QHBoxLayout;
    auto *layoutLabel =
        new QLabel(QStringLiteral("The legal pages take the loo&k of this page:"), page);
    m_placeLayout = new QLineEdit(facts.text(QStringLiteral("place.layout")), page);
    m_placeLayout->setObjectName(QStringLiteral("txtPlaceLayout"));
    m_placeLayout->setPlaceholderText(QStringLiteral("index.html, or empty for their own look"));
    m_placeLayout->setAccessibleName(QStringLiteral("The legal pages take the look of this page"));
    layoutLabel->setBuddy(m_placeLayout);
    layoutRow->addWidget(layoutLabel);
    layoutRow->addWidget(m_placeLayout, 1);
    layout->addLayout(layoutRow);
    m_placeConsent = new QCheckBox(
        QStringLiteral("A consent &banner: the services wait until a reader accepts them"), page);
    m_placeConsent->setObjectName(QStringLiteral("chkPlaceConsent"));
    m_placeConsent->setChecked(facts.flag(QStringLiteral("place.consent")));
    layout->addWidget(m_placeConsent);
    auto *remove = new QPushButton(QStringLiteral("Re&move from the Site"), page);
    remove->setObjectName(QStringLiteral("cmdRemoveFromSite"));
    remove->setAutoDefault(false);
    auto *removeRow = new QHBoxLayout;
    removeRow->addWidget(remove);
    removeRow->addStretch(1);
    layout->addLayout(removeRow);
    layout->addStretch(1);
    const auto chosen = [this] {
        m_session.setFacts(SitePlacement::withPlacement(
            m_session.facts(), m_placeLinks->isChecked(), m_placeLayout->text().trimmed(),
            m_placeConsent->isChecked()));
        m_modified = true;
        refresh();
    };
    connect(m_placeLinks, &QCheckBox::toggled, this, chosen);
    connect(m_placeConsent, &QCheckBox::toggled, this, chosen);
    connect(m_placeLayout, &QLineEdit::textEdited, this, chosen);
    connect(remove, &QPushButton::clicked, this, &frmSiteFacts::removeFromSite);
    return page;
}

void frmSiteFacts::removeFromSite() {
    if (!Seam::question(this,
                        QStringLiteral("Take the links, the consent banner and its wiring out of "
                                       "every page of the site? Each page is given back exactly "
                                       "as it was; the legal pages stay."),
                        QStringLiteral("Remove from the Site")))
        return;
    const SitePlacement::Outcome outcome = SitePlacement::remove(m_session.siteFolder(), false);
    QString text = QStringLiteral("%1 of the site's pages are back as they were.")
                       .arg(outcome.summary.changed);
    for (const QString &line : outcome.said)
        text += QLatin1Char('\n') + line;
    if (!outcome.failure.isEmpty())
        text += QLatin1Char('\n') + outcome.failure;
    // So that the next "Add Pages" does not put them back.
    const QSignalBlocker links(m_placeLinks), consent(m_placeConsent);
    m_placeLinks->setChecked(false);
    m_placeConsent->setChecked(false);
    m_session.setFacts(SitePlacement::withPlacement(m_session.facts(), false,
                                                    m_placeLayout->text().trimmed(), false));
    m_modified = true;
    refresh();
    Seam::information(this, text, QStringLiteral("Remove from the Site"));
}

QWidget *frmSiteFacts::buildReview() {
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *label = new QLabel(QStringLiteral("Check each &note before you publish a page; "
                                            "the notes are never written into the pages."),
                             page);
    label->setWordWrap(true);
    m_review = new QTreeWidget(page);
    m_review->setObjectName(QStringLiteral("treReview"));
    m_review->setAccessibleName(QStringLiteral("Review notes of the ticked pages"));
    m_review->setHeaderHidden(true);
    label->setBuddy(m_review);
    layout->addWidget(label);
    layout->addWidget(m_review, 1);
    return page;
}

void frmSiteFacts::answerEdited(const QString &key) {
    QWidget *editor = m_editors.value(key);
    QString typed;
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        typed = combo->currentText();
    else if (auto *line = qobject_cast<QLineEdit *>(editor))
        typed = line->text();
    Facts facts = m_session.facts();
    if (!SiteFactsSession::setAnswer(facts, key, typed))
        return;
    m_session.setFacts(facts);
    m_modified = true;
    refresh();
}

void frmSiteFacts::refresh() {
    m_contradictions->clear();
    for (const FactCheck::Contradiction &c : m_session.contradictions())
        m_contradictions->addItem(c.text + QLatin1Char('.'));

    // The review notes as the pages stand now, keeping what was ticked off.
    QMap<QString, bool> done;
    for (int i = 0; i < m_review->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *page = m_review->topLevelItem(i);
        for (int j = 0; j < page->childCount(); ++j)
            done[page->text(0) + page->child(j)->text(0)] =
                page->child(j)->checkState(0) == Qt::Checked;
    }
    m_review->clear();
    // The site's name, address and e-mail are asked here like every other fact.
    const Facts &facts = m_session.facts();
    PageGenerator generator = m_session.generator(m_pagesFolder, m_pages,
                                                  {facts.text(QStringLiteral("site.name")),
                                                   facts.text(QStringLiteral("site.url")),
                                                   facts.text(QStringLiteral("site.email"))});
    generator.treatSiteFieldsAsFacts();
    generator.prepare(nullptr);
    QStringList open = generator.missingFacts();
    for (const PageGenerator::Review &r : generator.reviews()) {
        auto *page = new QTreeWidgetItem(m_review, {r.title});
        for (const QString &note : r.notes) {
            auto *item = new QTreeWidgetItem(page, {note});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, done.value(r.title + note) ? Qt::Checked : Qt::Unchecked);
        }
    }
    m_review->expandAll();

    for (auto it = m_captions.cbegin(); it != m_captions.cend(); ++it) {
        QFont font = it.value()->font();
        font.setBold(open.contains(it.key()));
        it.value()->setFont(font);
        // What the bold caption shows, told to screen readers too.
        const FactQuestion *q = FactQuestions::find(it.key());
        QString description =
            it.key() + (q->answers.isEmpty() ? QString() : QStringLiteral(": ") + q->answers);
        if (open.contains(it.key()))
            description.prepend(QStringLiteral("Needed by the ticked pages. "));
        m_editors.value(it.key())->setAccessibleDescription(description);
    }
    QStringList said;
    if (m_contradictions->count() > 0)
        said << QStringLiteral("%1 facts contradict the site's pages (see What the scan found).")
                    .arg(m_contradictions->count());
    if (!open.isEmpty())
        said << QStringLiteral("The ticked pages need %1 more answers (in bold).").arg(open.size());
    if (!generator.templateFaults().isEmpty())
        said << generator.templateFaults();
    m_status->setText(said.isEmpty() ? QStringLiteral("The ticked pages have every fact they need.")
                                     : said.join(QLatin1Char(' ')));
    m_status->setAccessibleName(m_status->text());
}

void frmSiteFacts::showOpen(const QStringList &keys) {
    m_tabs->setCurrentIndex(0);
    if (!keys.isEmpty()) {
        if (QWidget *editor = m_editors.value(keys.first()))
            editor->setFocus();
    }
}

bool frmSiteFacts::save() {
    return saveTo(m_session.factsPath());
}

bool frmSiteFacts::saveAs() {
    const QString path =
        Seam::saveFileName(this, QStringLiteral("Save the Site Facts"), m_session.factsPath(),
                           QStringLiteral("Site facts (*.toml)"));
    return !path.isEmpty() && saveTo(path);
}

bool frmSiteFacts::saveTo(const QString &path) {
    // A facts file that could not be read holds answers this window never saw.
    if (path == m_unreadable &&
        !Seam::question(this,
                        QStringLiteral("\"%1\" could not be read when the window opened. Replace "
                                       "it, and the answers it holds, with the answers shown "
                                       "here?")
                            .arg(QDir::toNativeSeparators(path)),
                        QStringLiteral("Site Facts")))
        return false;
    if (m_session.insideSite(path) &&
        !Seam::question(this,
                        QStringLiteral("\"%1\" is inside the site's folder, which is published as "
                                       "it is: anyone could read the facts. Save there anyway?")
                            .arg(QDir::toNativeSeparators(path)),
                        QStringLiteral("Site Facts")))
        return false;
    QString error;
    if (!m_session.save(path, &error)) {
        Seam::information(this,
                          QStringLiteral("The facts file \"%1\" cannot be written (%2).")
                              .arg(QDir::toNativeSeparators(path), error),
                          QStringLiteral("Error"));
        return false;
    }
    m_path->setText(QDir::toNativeSeparators(path));
    m_modified = false;
    m_unreadable.clear();
    return true;
}

// Closing with answers not saved asks whether to save them; they are kept only in the file.
void frmSiteFacts::done(int result) {
    const bool keep =
        m_modified && Seam::question(this,
                                     QStringLiteral("Save the changed site facts to \"%1\"?")
                                         .arg(QDir::toNativeSeparators(m_session.factsPath())),
                                     QStringLiteral("Site Facts"));
    if (keep && !save())
        return; // not saved: the answers stay on screen
    m_modified = false;
    QDialog::done(result);
}
