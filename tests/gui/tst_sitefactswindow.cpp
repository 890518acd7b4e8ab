// The Site Facts window's wiring, offscreen: opened by "Add Pages" on open or contradicted facts,
// answers typed in, the facts file saved beside the site, review notes as a checklist.
#include "ModalWatcher.h"
#include "TestData.h"
#include "legalpages/frmLegalPages.h"
#include "legalpages/frmSiteFacts.h"
#include "widgets/FolderList.h"
#include "widgets/Seam.h"

#include <QtTest>
#include <QtWidgets>

namespace {

template <typename T> T *child(QWidget *window, const QString &name) {
    T *found = window->findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

frmSiteFacts *siteFactsWindow() {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *facts = qobject_cast<frmSiteFacts *>(w); facts && facts->isVisible())
            return facts;
    }
    return nullptr;
}

const QByteArray Ads = "name = \"AdNet\"\ncompany = \"Ad Co\"\ncompany_country = \"US\"\n"
                       "category = \"advertising\"\npurpose = \"ads\"\nsets_cookies = true\n"
                       "california_sale = true\nprivacy_url = \"https://ad.test/p\"\n"
                       "checked = 2026-12-06\n[detect]\nloads = [\"ad.test/a.js\"]\n";

} // namespace

class SiteFactsWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString site() const { return m_root.filePath("public"); }

private slots:
    void initTestCase() {
        const QString program = m_root.filePath("program");
        TestData::write(program, "templates/services/adnet.toml", Ads);
        TestData::write(program, "templates/pages/html/template.html", "#CONTENT#");
        TestData::write(program, "templates/pages/privacy-policy.txt",
                        "[review]\nCheck the address.\n[/review]\nBy [operator.legal_name].\n");
        TestData::write(site(), "index.html", "<script src=\"https://ad.test/a.js\"></script>");
        Seam::setProgramFolder(program);
        Seam::setRecordingMessages(true);
    }

    // The Site Facts window is a child of the legal pages window: it goes with it.
    void cleanup() {
        QList<QPointer<QWidget>> windows;
        for (QWidget *w : QApplication::topLevelWidgets())
            windows.append(w);
        for (const QPointer<QWidget> &w : windows)
            delete w.data();
    }

    void addPagesOpensItOnTheOpenFacts() {
        auto *pages = new frmLegalPages();
        pages->show();
        QVERIFY(QTest::qWaitForWindowExposed(pages));
        QVERIFY(child<FolderList>(pages, "Dir1")->setPath(site()));
        auto *list = child<QListWidget>(pages, "lstDisclaimers");
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Space);
        child<QLineEdit>(pages, "txtSiteName")->setText("Acme");
        child<QLineEdit>(pages, "txtSiteUrl")->setText("https://acme.test");
        child<QLineEdit>(pages, "txtemail")->setText("a@acme.test");
        QTest::mouseClick(child<QPushButton>(pages, "cmdCreatePages"), Qt::LeftButton);

        frmSiteFacts *facts = siteFactsWindow();
        QVERIFY(facts);
        QVERIFY(!QFile::exists(site() + "/privacy-policy.html"));
        auto *name = child<QLineEdit>(facts, "fact_operator_legal_name");
        QTRY_COMPARE(QApplication::focusWidget(), name);
        QCOMPARE(name->accessibleName(),
                 "Who runs the site: the full legal name of the person or business?");
        // What the scan found, the review notes of the ticked page.
        auto *found = child<QTreeWidget>(facts, "treFound");
        QCOMPARE(found->topLevelItemCount(), 1);
        QCOMPARE(found->topLevelItem(0)->text(0), "AdNet (adnet)");
        QCOMPARE(found->topLevelItem(0)->text(2), "index.html");
        auto *review = child<QTreeWidget>(facts, "treReview");
        QCOMPARE(review->topLevelItem(0)->child(0)->text(0), "Check the address.");
        QCOMPARE(child<QLabel>(facts, "lblStatus")->text(),
                 "The ticked pages need 1 more answers (in bold).");

        QVERIFY(name->accessibleDescription().startsWith("Needed by the ticked pages."));
        QTest::keyClicks(name, "Acme Ltd");
        QCOMPARE(child<QLabel>(facts, "lblStatus")->text(),
                 "The ticked pages have every fact they need.");
        // "none" for advertising contradicts the scan.
        auto *ads = child<QLineEdit>(facts, "fact_services_advertising");
        QCOMPARE(ads->text(), "adnet");
        ads->selectAll();
        QTest::keyClicks(ads, "none");
        QCOMPARE(child<QListWidget>(facts, "lstContradictions")->count(), 1);
        ads->selectAll();
        QTest::keyClicks(ads, "adnet");
        QCOMPARE(child<QListWidget>(facts, "lstContradictions")->count(), 0);

        // Saved beside the site folder, never inside it unless the user says so.
        QTest::mouseClick(child<QPushButton>(facts, "cmdSave"), Qt::LeftButton);
        const QString beside = m_root.filePath("public-legal-facts.toml");
        QVERIFY(TestData::read(beside).contains("\nlegal_name = \"Acme Ltd\"\n"));
        Seam::setSaveFileChooser([this](const QString &) { return site() + "/facts.toml"; });
        Seam::setAnswer(false);
        Seam::takeMessages();
        QTest::mouseClick(child<QPushButton>(facts, "cmdSaveAs"), Qt::LeftButton);
        Seam::setSaveFileChooser(nullptr);
        QCOMPARE(Seam::takeMessages().size(), 1);
        QVERIFY(!QFile::exists(site() + "/facts.toml"));

        // With the facts saved, "Add Pages" writes the page.
        ModalWatcher links([](QWidget *modal) { modal->close(); });
        QTest::mouseClick(child<QPushButton>(pages, "cmdCreatePages"), Qt::LeftButton);
        QVERIFY(links.fired());
        QCOMPARE(TestData::read(site() + "/privacy-policy.html"), "By Acme Ltd.\n");
    }

    // Every control a user can reach is named for screen readers; Escape closes the window and
    // offers to save changed answers.
    void namedAndKeyboardComplete() {
        const QString file = m_root.filePath("chosen.toml");
        frmSiteFacts facts(site(), m_root.filePath("program"), {}, {}, file);
        facts.show();
        QVERIFY(QTest::qWaitForWindowExposed(&facts));
        for (QWidget *w : facts.findChildren<QWidget *>()) {
            if (w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(&facts) &&
                !qobject_cast<QAbstractButton *>(w) && !qobject_cast<QTabBar *>(w))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        auto *vat = child<QLineEdit>(&facts, "fact_operator_vat");
        vat->setFocus();
        QTest::keyClicks(vat, "none");
        Seam::setAnswer(true);
        Seam::takeMessages();
        QTest::keyClick(vat, Qt::Key_Escape);
        QVERIFY(!facts.isVisible());
        QCOMPARE(Seam::takeMessages().size(), 1);
        QVERIFY(TestData::read(file).contains("\nvat = \"none\"\n"));
    }

    // A facts file with a fault is told and kept: saving over it is asked first.
    void aFaultyFactsFileIsNotSavedOver() {
        const QString file = TestData::write(m_root.path(), "faulty.toml", "[site]\nname = \"x\n");
        Seam::takeMessages();
        frmSiteFacts facts(site(), m_root.filePath("program"), {}, {}, file);
        QList<Seam::Message> told = Seam::takeMessages();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().text.startsWith(file + ":2:"), qPrintable(told.first().text));
        Seam::setAnswer(false);
        QVERIFY(!facts.save());
        QCOMPARE(Seam::takeMessages().size(), 1);
        QCOMPARE(TestData::read(file), "[site]\nname = \"x\n");
    }
};

QTEST_MAIN(SiteFactsWindowTest)
#include "tst_sitefactswindow.moc"
