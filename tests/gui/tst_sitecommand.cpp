// "clausewright pages" changing the site's own pages, run as the real program: its refusals, the
// choices recorded in the facts file and repeated from it, and removal.
#include "ProgramRun.h"
#include "TestData.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace ProgramRun;

namespace {

const QStringList kSite{"--site-name", "A", "--site-url", "https://a.example", "--email", "e@a"};

} // namespace

class SiteCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString site() const { return m_work.filePath("site"); }

private slots:
    void init() {
        QDir(site()).removeRecursively();
        for (const char *name : {"index.html", "about.html"})
            TestData::write(site(), name,
                            TestData::read(CW_SOURCE_DIR "/examples/site/" + QString(name)));
    }

    void refusalsWriteNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("links with no legal page to link to")
            << QStringList{"--place-links"} << "has no legal pages to link to yet";
        QTest::newRow("a banner without facts")
            << QStringList{"--consent"} << "--consent needs the site's facts (--facts FILE)";
        QTest::newRow("removal with pages")
            << QStringList{"--remove", "--all"} << "--remove goes alone";
        QTest::newRow("a look without pages")
            << QStringList{"--layout", "index.html"} << "--layout needs the pages to write";
        QTest::newRow("a look from a page without the element")
            << (QStringList{"--all", "--layout", "about.html", "--layout-element", "section"} +
                kSite)
            << "the layout page \"about.html\" has no <section> element";
    }
    void refusalsWriteNothing() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        const auto before = tree(site());
        const Result r = command(QStringList{"pages", site()} + arguments);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QCOMPARE(tree(site()), before);
    }

    // The choices go into the facts file, a run with the facts file alone repeats them, and
    // --remove takes every change out and records that too.
    void choicesAreRecordedRepeatedAndRemoved() {
        const auto original = tree(site());
        const QString facts = m_work.filePath("facts.toml");
        {
            QProcess p;
            p.setStandardOutputFile(facts);
            p.start(CW_BINARY_DIR "/clausewright", {"facts", site()});
            QVERIFY(p.waitForFinished());
        }
        Result r = command(QStringList{"pages", site(), "--page", "Terms Of Use", "--facts", facts,
                                       "--place-links", "--layout", "index.html", "--draft"} +
                           kSite);
        QCOMPARE(r.status, 0);
        QVERIFY(TestData::read(facts).contains("links = true"));
        QVERIFY(TestData::read(facts).contains("layout = \"index.html\""));
        QVERIFY(TestData::read(site() + "/about.html")
                    .contains("<li><a href=\"terms-of-use.html\">Terms Of Use</a></li>"));
        const auto placed = tree(site());

        r = command({"pages", site(), "--facts", facts});
        QVERIFY2(r.err.contains("0 of 3 pages of " + site() +
                                " now link to the legal pages (3 "
                                "unchanged"),
                 qPrintable(r.err));
        QCOMPARE(tree(site()), placed);

        r = command({"pages", site(), "--facts", facts, "--remove", "--dry-run"});
        QVERIFY2(r.err.contains("would change about.html: the program's insertions taken out"),
                 qPrintable(r.err));
        QCOMPARE(tree(site()), placed);
        QCOMPARE(command({"pages", site(), "--facts", facts, "--remove"}).status, 0);
        auto now = tree(site());
        QVERIFY(now.remove("terms-of-use.html")); // the legal page stays
        QCOMPARE(now, original);
        QVERIFY(TestData::read(facts).contains("links = false"));
    }

    // The banner's library is on the pages once it is installed: the facts say so, so the next
    // run with them is not refused as contradicting the site; --remove takes it back out.
    void bannerKeepsTheFactsTrue() {
        const QString facts = m_work.filePath("banner.toml");
        QProcess p;
        p.setStandardOutputFile(facts);
        p.start(CW_BINARY_DIR "/clausewright", {"facts", site()});
        QVERIFY(p.waitForFinished());
        const QStringList page =
            QStringList{"--facts", facts, "--page", "Cookie Policy", "--draft"};
        QCOMPARE(command(QStringList{"pages", site(), "--consent"} + page + kSite).status, 0);
        QVERIFY(TestData::read(facts).contains("consent = [\"vanilla-cookieconsent\"]"));
        QVERIFY(TestData::read(facts).contains("tool = \"clausewright\""));
        const Result again = command(QStringList{"pages", site()} + page);
        QVERIFY2(again.status == 0, qPrintable(again.err));
        QCOMPARE(command({"pages", site(), "--facts", facts, "--remove"}).status, 0);
        QVERIFY(TestData::read(facts).contains("tool = \"none\""));
        QCOMPARE(command(QStringList{"pages", site()} + page).status, 0);
    }
};

QTEST_GUILESS_MAIN(SiteCommandTest)
#include "tst_sitecommand.moc"
