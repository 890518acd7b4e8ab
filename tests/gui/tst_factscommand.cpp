// "clausewright facts" and "clausewright pages --facts", run as the real program.
#include "ProgramRun.h"
#include "TestData.h"

#include <QtTest>

using namespace ProgramRun;

namespace {

const QByteArray Ads = "name = \"AdNet\"\ncompany = \"Ad Co\"\ncompany_country = \"US\"\n"
                       "category = \"advertising\"\npurpose = \"ads\"\nsets_cookies = true\n"
                       "california_sale = true\nprivacy_url = \"https://ad.test/p\"\n"
                       "checked = 2026-12-06\n[detect]\nloads = [\"ad.test/a.js\"]\n";

} // namespace

class FactsCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString data() const { return m_dir.filePath("data"); }
    QString site() const { return m_dir.filePath("site"); }
    QString factsFile() const { return m_dir.filePath("facts.toml"); }
    // The facts file the facts command starts, with these answers put in.
    QString started(const QList<QPair<QString, QString>> &answers) {
        Result r = command({"facts", site(), "--data", data()});
        for (const auto &[line, answer] : answers)
            r.out.replace(QRegularExpression("\n" + line + " = [^\n]*\n"),
                          "\n" + line + " = " + answer + "\n");
        TestData::write(m_dir.path(), "facts.toml", r.out.toUtf8());
        return factsFile();
    }

private slots:
    void initTestCase() {
        TestData::write(data(), "templates/services/adnet.toml", Ads);
        TestData::write(data(), "templates/pages/html/template.html", "#CONTENT#");
        TestData::write(data(), "templates/pages/privacy-policy.txt",
                        "[review]\nCheck it.\n[/review]\n[sitename] by [operator.legal_name]\n"
                        "[if category:advertising][list advertising][end]");
        TestData::write(site(), "index.html", "<script src=\"//ad.test/a.js\"></script>");
    }

    // A new facts file: every question, the scan's services filled in, the rest open.
    void factsStartsAFile() {
        const Result r = command({"facts", site(), "--data", data()});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("# the scan found adnet in index.html\nadvertising = "
                                "[\"adnet\"]\n") &&
                     r.out.contains("\nfonts = []\n") && r.out.contains("\nlegal_name = \"\"\n"),
                 qPrintable(r.out));
        QCOMPARE(command({"facts", site() + "/index.html"}).status, 2);
    }

    void pagesOnFacts_data() {
        QTest::addColumn<QStringList>("answers"); // "line=answer", put into a started file
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err"); // the start of standard error
        QTest::addColumn<bool>("written");
        const QStringList named{"name=\"Acme\"", "url=\"https://a.test\"", "email=\"a@a.test\""};
        QTest::newRow("open facts named, nothing written")
            << QStringList{"url=\"https://a.test\"", "email=\"a@a.test\""} << QStringList{} << 2
            << "clausewright: these facts are open, so no page was written (answer them in the "
               "facts file, or write --draft pages):\nsite.name: What is the site called?\n"
               "operator.legal_name: Who runs the site: the full legal name of the person or "
               "business?\n"
            << false;
        QTest::newRow("an option fills a fact")
            << QStringList{"url=\"https://a.test\"", "email=\"a@a.test\"", "legal_name=\"A\""}
            << QStringList{"--site-name", "Acme"} << 0 << "clausewright: 1 of 1 pages" << true;
        QTest::newRow("contradiction names the service and a file")
            << named + QStringList{"legal_name=\"A\"", "advertising=[]"} << QStringList{} << 2
            << "clausewright: AdNet (adnet, advertising) is on the site's pages (index.html), but "
               "services.advertising does not name it.\nclausewright: the facts contradict the "
               "site, so no page was written.\n"
            << false;
        QTest::newRow("draft with review notes")
            << named << QStringList{"--draft", "--verbose"} << 0
            << "clausewright: drafts: these facts are open, the pages show \"[CHECK: question]\" "
               "for them:\noperator.legal_name: Who runs the site: the full legal name of the "
               "person or business?\nprivacy-policy.html: review: Check it.\n"
            << true;
        QTest::newRow("faulty facts file") << QStringList{"eu=\"perhaps\""} << QStringList{} << 2
                                           << "clausewright: " + factsFile() + ":" << false;
    }
    void pagesOnFacts() {
        QFETCH(QStringList, answers);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, err);
        QFETCH(bool, written);
        QList<QPair<QString, QString>> pairs;
        for (const QString &a : answers)
            pairs.append({a.section('=', 0, 0), a.section('=', 1)});
        QFile::remove(site() + "/privacy-policy.html");
        const Result r = command(
            QStringList{"pages", site(), "--all", "--data", data(), "--facts", started(pairs)} +
            options);
        QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        QCOMPARE(r.status, status);
        QCOMPARE(QFile::exists(site() + "/privacy-policy.html"), written);
        if (written)
            QVERIFY(!TestData::read(site() + "/privacy-policy.html").contains("Check it."));
    }

    // A refreshed file keeps the answers given.
    void factsKeepsAnswers() {
        const QString file = started({{"legal_name", "\"Acme & Co\""}, {"children", "false"}});
        const Result r = command({"facts", site(), "--data", data(), "--facts", file});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.toUtf8(), TestData::read(file));
    }
};

QTEST_GUILESS_MAIN(FactsCommandTest)
#include "tst_factscommand.moc"
