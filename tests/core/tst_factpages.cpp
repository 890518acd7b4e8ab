// Legal pages on the site's facts: refusal, drafts, review notes, dates, links between pages,
// the services' lists and tables, and the facts against the scan.
#include "TestData.h"
#include "legalpages/PageDate.h"
#include "legalpages/PageGenerator.h"
#include "site/FactCheck.h"
#include "site/FactQuestions.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

ServiceCatalogue catalogue() {
    const QByteArray ads = "name = \"AdNet\"\ncompany = \"Ad <Co>\"\ncompany_country = \"US\"\n"
                           "category = \"advertising\"\npurpose = \"ads\"\ndata = \"ids\"\n"
                           "sets_cookies = true\ncalifornia_sale = true\n"
                           "privacy_url = \"https://ad.test/p?a=1&b=2\"\nchecked = 2026-12-06\n"
                           "[[stores]]\nname = \"_ad\"\nduration = \"1 year\"\npurpose = \"ids\"\n"
                           "[detect]\nloads = [\"ad.test/a.js\"]\n";
    QString error;
    const std::optional<Service> s = ServiceCatalogue::parse(ads, "adnet", "adnet", &error);
    if (!s)
        qFatal("%s", qPrintable(error));
    return ServiceCatalogue({*s});
}

Facts facts(const QStringList &advertising) {
    Facts f;
    for (const QString &category : FactQuestions::categories())
        f.set("services." + category, QStringList{});
    f.set("services.advertising", advertising);
    f.set("operator.legal_name", "Acme Ltd");
    f.set("consent.tool", "none");
    return f;
}

struct Site {
    QTemporaryDir root;
    QString pages = root.filePath("templates/pages");
    QString site = root.filePath("site");

    Site() {
        TestData::write(pages, "html/template.html", "<h1>#TITLE#</h1>\n#CONTENT#");
        QDir().mkpath(site);
    }
    CatalogueEntry page(const QString &fileName, const QByteArray &text) const {
        return {Catalogue::displayName(fileName), TestData::write(pages, fileName, text)};
    }
    PageGenerator generator(const QList<CatalogueEntry> &entries, const Facts &f, bool draft,
                            QDate date = QDate(2026, 12, 6)) const {
        PageGenerator g({pages, site, entries, {"Acme", "https://acme.test", "a@acme.test"}, date});
        g.useFacts(f, draft);
        g.useCatalogue(catalogue());
        return g;
    }
    QByteArray read(const QString &name) const { return TestData::read(site + "/" + name); }
};

const QByteArray Policy = "[review]\nCheck the address.\n[/review]\n"
                          "<p>[operator.legal_name], [operator.address]. [date]</p>\n"
                          "[if category:advertising]\n[list advertising]\n[table processing]\n"
                          "[else]\n<p>No ads.</p>\n[end]\n"
                          "[if page:terms-of-use]\n<p>[link terms-of-use]</p>\n[end]\n";

} // namespace

class FactPagesTest : public QObject {
    Q_OBJECT

private slots:
    // A page that needs an open fact is not written; each open fact is named with its question.
    void openFactsRefuseTheRun() {
        Site s;
        PageGenerator g = s.generator({s.page("privacy-policy.txt", Policy)}, facts({}), false);
        UserMessage refusal;
        QVERIFY(!g.prepare(&refusal));
        QCOMPARE(g.missingFacts(), QStringList{"operator.address"});
        QCOMPARE(refusal.title, "Missing Facts");
        QVERIFY2(refusal.text.contains("\n\noperator.address: What is the postal address of "
                                       "whoever runs the site?\n\n"),
                 qPrintable(refusal.text));
        QVERIFY(QDir(s.site).isEmpty());
    }

    // A draft shows the question; the review note goes to the caller, not into the page; a page
    // of the run is linked, the advertising of the facts listed from the catalogue; without a
    // consent tool no consent is claimed.
    void draftsListsLinksAndNotes() {
        Site s;
        PageGenerator g =
            s.generator({s.page("privacy-policy.txt", Policy), s.page("terms-of-use.txt", "T")},
                        facts({"adnet"}), true);
        QVERIFY(g.prepare(nullptr));
        PageGenerator::Page page;
        QVERIFY(g.makePage(0, &page));
        QCOMPARE(page.review, QStringList{"Check the address."});
        QCOMPARE(g.reviews().first().notes, QStringList{"Check the address."});
        QCOMPARE(
            s.read("privacy-policy.html"),
            "<h1>Privacy Policy</h1>\n<p>Acme Ltd, [CHECK: What is the postal address of "
            "whoever runs the site?]. December 6, 2026</p>\n"
            "<ul>\n<li>AdNet, by Ad &lt;Co&gt; (United States): <a "
            "href=\"https://ad.test/p?a=1&amp;b=2\">its privacy notice</a></li>\n</ul>\n"
            "<table>\n<thead><tr><th>Service</th><th>Purpose</th><th>Data</th><th>Legal "
            "basis</th><th>How long it is kept</th><th>Who receives it</th></tr></thead>\n"
            "<tbody>\n<tr><td>AdNet</td><td>ads</td><td>ids</td><td>Our legitimate interest in "
            "running the site; no consent is asked before it loads</td><td>1 "
            "year</td><td>Ad &lt;Co&gt;</td></tr>\n</tbody>\n</table>\n"
            "<p><a href=\"terms-of-use.html\">Terms Of Use</a></p>\n");
    }

    // Without advertising the page says so and names no partner; a page neither written nor in
    // the site is not referred to; one already in the site is.
    void noServicesAndPagesThere() {
        Site s;
        Facts f = facts({});
        f.set("operator.address", "1 Road");
        const CatalogueEntry policy = s.page("privacy-policy.txt", Policy);
        PageGenerator g = s.generator({policy}, f, false);
        QVERIFY(g.prepare(nullptr));
        QVERIFY(g.makePage(0));
        const QByteArray alone = "<h1>Privacy Policy</h1>\n<p>Acme Ltd, 1 Road. December 6, "
                                 "2026</p>\n<p>No ads.</p>\n";
        QCOMPARE(s.read("privacy-policy.html"), alone);
        TestData::write(s.site, "terms-of-use.html", "x");
        PageGenerator again = s.generator({policy}, f, false);
        QVERIFY(again.prepare(nullptr));
        QVERIFY(again.makePage(0));
        QCOMPARE(s.read("privacy-policy.html"),
                 alone + "<p><a href=\"terms-of-use.html\">Terms Of Use</a></p>\n");
    }

    // A rerun on a later day leaves a page that differs only in its date untouched; a real
    // change writes it with the new date.
    void aPageKeepsTheDateOfItsLastChange() {
        Site s;
        Facts f = facts({});
        f.set("operator.address", "1 Road");
        const CatalogueEntry policy = s.page("privacy-policy.txt", Policy);
        PageGenerator first = s.generator({policy}, f, false);
        QVERIFY(first.prepare(nullptr) && first.makePage(0));
        const QByteArray written = s.read("privacy-policy.html");
        const QDateTime modified = QFileInfo(s.site + "/privacy-policy.html").lastModified();

        PageGenerator rerun = s.generator({policy}, f, false, QDate(2027, 3, 1));
        PageGenerator::Page page;
        QVERIFY(rerun.prepare(nullptr) && rerun.makePage(0, &page));
        QVERIFY(page.unchanged);
        QCOMPARE(s.read("privacy-policy.html"), written);
        QCOMPARE(QFileInfo(s.site + "/privacy-policy.html").lastModified(), modified);
        QCOMPARE(rerun.written(), QStringList{"privacy-policy.html"});

        f.set("operator.address", "2 Road");
        PageGenerator changed = s.generator({policy}, f, false, QDate(2027, 3, 1));
        QVERIFY(changed.prepare(nullptr) && changed.makePage(0, &page));
        QVERIFY(!page.unchanged);
        QVERIFY(s.read("privacy-policy.html").contains("2 Road. March 1, 2027"));
    }

    void onlyTheDateDiffers_data() {
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<bool>("same");
        const QByteArray fresh = "<p>March 1, 2027</p><p>Updated March 1, 2027.</p>";
        QTest::newRow("the same bytes") << fresh << true;
        QTest::newRow("older dates") << QByteArray("<p>December 6, 2026</p><p>Updated May 31, "
                                                   "2025.</p>")
                                     << true;
        QTest::newRow("text changed too")
            << QByteArray("<p>December 6, 2026</p><p>Updated May 31, 2025!</p>") << false;
        QTest::newRow("not a date") << QByteArray("<p>Smarch 1, 2026</p><p>Updated March 1, "
                                                  "2027.</p>")
                                    << false;
        QTest::newRow("longer") << fresh + "x" << false;
        QTest::newRow("regex signs are text") << QByteArray("<p>March 1, 2027</p><p>Updated "
                                                            "March 1, 2027x</p>")
                                              << false;
    }
    void onlyTheDateDiffers() {
        QFETCH(QByteArray, onDisk);
        QFETCH(bool, same);
        QCOMPARE(PageDate::differsOnlyInDate(
                     onDisk, "<p>March 1, 2027</p><p>Updated March 1, 2027.</p>", "March 1, 2027"),
                 same);
    }

    // "No advertising" while an ad network's script is on the pages; a service nobody describes.
    void factsAgainstTheScan() {
        SiteScanResult scan;
        scan.found.insert("adnet", {"a.html", "b/c.html", "d.html"});
        QCOMPARE(FactCheck::contradictions(facts({"adnet"}), scan, catalogue()).size(), 0);
        QCOMPARE(FactCheck::contradictions(Facts(), scan, catalogue()).size(), 0); // open
        const QList<FactCheck::Contradiction> said =
            FactCheck::contradictions(facts({"unknown"}), scan, catalogue());
        QCOMPARE(said.size(), 2);
        QCOMPARE(said.at(0).text, "AdNet (adnet, advertising) is on the site's pages (a.html and "
                                  "2 other files), but services.advertising does not name it");
        QCOMPARE(said.at(0).file, "a.html");
        QCOMPARE(said.at(1).text, "services.advertising names \"unknown\", which no file of the "
                                  "service catalogue describes (templates/services/unknown.toml)");
        // The scan answers what is open and leaves the answers given.
        const Facts prefilled = FactCheck::prefilled(Facts(), scan, catalogue());
        QCOMPARE(prefilled.list("services.advertising"), QStringList{"adnet"});
        QVERIFY(prefilled.known("services.fonts") && prefilled.list("services.fonts").isEmpty());
        QCOMPARE(FactCheck::prefilled(facts({}), scan, catalogue()).list("services.advertising"),
                 QStringList{});
    }
};

QTEST_GUILESS_MAIN(FactPagesTest)
#include "tst_factpages.moc"
