#include "TestData.h"
#include "core/Catalogue.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageGenerator.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A program's pages folder holding the HTML page template, and a site folder.
struct Folders {
    QTemporaryDir root;
    QString pages = root.filePath("templates/pages");
    QString site = root.filePath("site");
    QString templatePath = PageGenerator::templatePath(pages);

    explicit Folders(const QByteArray &htmlTemplate = "<title>#TITLE#</title>\r\n#CONTENT#\r\n") {
        TestData::write(pages, "html/template.html", htmlTemplate);
        QDir().mkpath(site);
    }
    CatalogueEntry entry(const QString &fileName, const QByteArray &text = "text") const {
        return {Catalogue::displayName(fileName), TestData::write(pages, fileName, text)};
    }
    PageGenerator generator(const QList<CatalogueEntry> &entries,
                            const SiteFacts &facts = {"Acme", "https://acme.test",
                                                      "a@acme.test"}) const {
        return PageGenerator({pages, site, entries, facts, QDate(2026, 12, 6), {}});
    }
    QByteArray page(const QString &name) const { return TestData::read(site + "/" + name); }
    // A page as written, without its fingerprint (checked on its own).
    QByteArray unsigned_(const QString &name) const {
        static const QRegularExpression fingerprint(
            "<meta name=\"generator\" content=\"Clausewright sha256:[0-9a-f]{64}\">");
        return QString::fromLatin1(page(name)).remove(fingerprint).toLatin1();
    }
    // Everything in the site folder: an unfilled copy or a temporary file would show here.
    QStringList inSite() const {
        return QDir(site).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                    QDir::Name);
    }
};

QString anchor(const QString &target, const QString &text) {
    return "<a href=\"" + target + "\">" + text + "</a>";
}

} // namespace

class PageGeneratorTest : public QObject {
    Q_OBJECT

private slots:
    // The date goes in in English whatever the user's locale.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Pages are filled from the very files listed and replace older ones; a page that cannot be
    // read or written is named with its reason and left out of the link code, the others go on.
    void writesPagesLinksThemAndNamesTheFailures() {
        Folders f("\xef\xbb\xbf<title>#TITLE#</title>\r\n#CONTENT#\r\n");
        TestData::write(f.site, "privacy-policy.html", QByteArray(5000, 'x'));
        const CatalogueEntry gone = f.entry("cookies.txt");
        QFile::remove(gone.filePath);
        QDir(f.site).mkpath("dmca.html"); // a folder where the page should go
        PageGenerator generator =
            f.generator({f.entry("privacy-policy.txt", "[sitename][siteurl][email] [date] #TITLE#"),
                         gone, f.entry("dmca.txt"), f.entry("Disclaimer.txt", "Caf\xe9 \xab\xbb")});
        QVERIFY(generator.prepare(nullptr));
        generator.setReplaceQuestion(
            [](const QString &, PageReplacement::Decision, int) { return true; });
        // What a dry run tells, before anything is written.
        QStringList planned;
        for (const PageGenerator::PlannedPage &p : generator.plan())
            planned << QDir(f.site).relativeFilePath(p.path) + (p.replaces ? " replaced" : "");
        QCOMPARE(planned, (QStringList{"privacy-policy.html replaced", "cookies.html",
                                       "dmca.html replaced", "disclaimer.html"}));
        QCOMPARE(f.inSite(), (QStringList{"dmca.html", "privacy-policy.html"}));

        generator.makeAll();
        QCOMPARE(generator.linkCode(), "<center>" +
                                           anchor("privacy-policy.html", "Privacy-Policy") + " - " +
                                           anchor("disclaimer.html", "Disclaimer") + "</center>");
        // The template's byte order mark stays; Windows-1252 text comes out in UTF-8.
        QCOMPARE(f.unsigned_("privacy-policy.html"),
                 QByteArray("\xef\xbb\xbf<title>Privacy Policy</title>\r\n"
                            "Acmehttps://acme.testa@acme.test December 6, 2026 #TITLE#\r\n"));
        QCOMPARE(f.unsigned_("disclaimer.html"),
                 QByteArray(
                     "\xef\xbb\xbf<title>Disclaimer</title>\r\nCaf\xc3\xa9 \xc2\xab\xc2\xbb\r\n"));
        const QString report = generator.failureReport();
        QVERIFY2(report.startsWith("These pages could not be made:\n\ncookies.html: its page "
                                   "template \"cookies.txt\" cannot be read (") &&
                     report.contains(".\ndmca.html: it cannot be written to") &&
                     report.endsWith(".\n\nThe other pages were written."),
                 qPrintable(report));
        QCOMPARE(f.inSite(), (QStringList{"disclaimer.html", "dmca.html", "privacy-policy.html"}));
    }

    // Every check comes before anything is written, in this order: the inputs, the HTML page
    // template, the page names. A template that is a pipe is refused, never waited on.
    void aPageThatDoesNotApplyIsNeitherWrittenNorLinked() {
        Folders f;
        const QList<CatalogueEntry> entries{
            f.entry("a-shop.txt", "[review]Sellers only.[/review]\n[if audience.eu]\nA\n[end]\n"),
            f.entry("b-terms.txt", "B[if page:a-shop] [link a-shop][end]")};
        PageGenerator generator = f.generator(entries);
        Facts facts;
        facts.set("audience.eu", false);
        generator.useFacts(facts, false);
        QVERIFY(generator.prepare(nullptr));
        QCOMPARE(generator.notApplicable(), QStringList{"a-shop.html"});
        QCOMPARE(generator.plan().size(), 1);
        QCOMPARE(generator.reviews().size(), 1);
        generator.makeAll();
        QCOMPARE(f.inSite(), QStringList{"b-terms.html"});
        QCOMPARE(f.page("b-terms.html"),
                 PageReplacement::withFingerprint("<title>B Terms</title>\r\nB\r\n"));
        QCOMPARE(generator.linkCode(),
                 LinkCode::finished(LinkCode::withLink({}, PageNames::fromDisplayName("B Terms"))));
    }

    void refusedRunsWriteNothing_data() {
        QTest::addColumn<QByteArray>("htmlTemplate"); // "(none)": no file; "(pipe)": a named pipe
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("site");
        QTest::addColumn<QString>("told"); // "%1": the template's path
        const QByteArray good = "#CONTENT#", none = "(none)";
        const QStringList one{"a.txt"}, site{"Acme", "http://acme.test", "e@acme.test"};
        const QString missing = "Missing Info: Missing Info: '%2' Field is Empty.";
        QTest::newRow("no page before the site name")
            << none << QStringList{} << QStringList{"", "", ""}
            << "No Page Selected: Please select at least 1 legal page to add.";
        QTest::newRow("site name before address")
            << none << one << QStringList{"", "", ""} << missing.arg("Site Name");
        QTest::newRow("address before e-mail")
            << none << one << QStringList{"A", "", ""} << missing.arg("Site Url");
        QTest::newRow("e-mail before the template")
            << none << one << QStringList{"A", "u", ""} << missing.arg("e-mail");
        const QString url = "Error: The 'Site Url' Field must hold the site's full address, "
                            "starting with http:// or https:// and a host name (such as "
                            "https://www.example.com).";
        for (const char *address : {"   ", "acme.test", "javascript:alert(1)", "http://"})
            QTest::newRow(qPrintable(QString("address '%1' refused").arg(address)))
                << none << one << QStringList{"A", address, "e@acme.test"} << url;
        for (const char *email : {"e", "a b@acme.test", "<x>@acme.test", "e@acme"})
            QTest::newRow(qPrintable(QString("e-mail '%1' refused").arg(email)))
                << none << one << QStringList{"A", "https://acme.test", email}
                << "Error: The 'e-mail' Field must hold an e-mail address (such as "
                   "info@example.com).";
        const QString error = "Error: The HTML page template \"%1\" ";
        QTest::newRow("template in UTF-16")
            << QByteArray("\xff\xfe#\0C\0") << one << site
            << error + "is saved as UTF-16 or UTF-32, which pages are not written in. Save it as "
                       "UTF-8 (or Windows-1252) and try again. No page was written.";
        QTest::newRow("template a pipe")
            << QByteArray("(pipe)") << one << site
            << error + "cannot be read (It is a pipe, not a file). No page was written.";
        QTest::newRow("template empty but for a byte order mark")
            << QByteArray("\xef\xbb\xbf") << one << site
            << error + "is empty. No page was written.";
        const QString noContent = error + "has no \"#CONTENT#\" where the text of a page goes. No "
                                          "page was written.";
        QTest::newRow("template without #CONTENT#")
            << QByteArray("<h1>#TITLE#</h1>\n#content#") << one << site << noContent;
        QTest::newRow("template before names")
            << QByteArray("#TITLE#") << QStringList{"a-b.txt", "A-B.txt"} << site << noContent;
        QTest::newRow("names that make one page")
            << good << QStringList{"a-b.txt", "A-B.txt", "c d.txt", "c-d.txt", "e.txt", "c-D.txt"}
            << site
            << "Error: These legal pages would be written to the same page file:\n\n"
               "a-b.html: a-b.txt, A-B.txt\nc-d.html: c d.txt, c-d.txt, c-D.txt\n\n"
               "Rename or remove catalogue files so that each page has a name of its own. No "
               "page was written.";
    }
    void refusedRunsWriteNothing() {
        QFETCH(QByteArray, htmlTemplate);
        QFETCH(QStringList, pages);
        QFETCH(QStringList, site);
        QFETCH(QString, told);
        Folders f(htmlTemplate);
        if (htmlTemplate.startsWith('('))
            QVERIFY(QFile::remove(f.templatePath));
        if (htmlTemplate == "(pipe)")
            QCOMPARE(::mkfifo(QFile::encodeName(f.templatePath).constData(), 0600), 0);
        QList<CatalogueEntry> entries;
        for (const QString &name : pages)
            entries.append(f.entry(name));
        TestData::write(f.site, "a.html", "kept");

        PageGenerator generator = f.generator(entries, {site[0], site[1], site[2]});
        UserMessage refusal;
        ::alarm(60);
        const bool prepared = generator.prepare(&refusal);
        ::alarm(0);
        QVERIFY(!prepared);
        QCOMPARE(refusal.title + ": " + refusal.text,
                 QString(told).replace("%1", QDir::toNativeSeparators(f.templatePath)));
        QVERIFY(!generator.makePage(0));
        QCOMPARE(f.inSite(), QStringList{"a.html"});
        QCOMPARE(f.page("a.html"), QByteArray("kept"));
    }

    // A page's bytes agree with the charset its HTML declares. Every row fills in "Café ✓".
    void pagesAgreeWithTheirCharset_data() {
        QTest::addColumn<QByteArray>("htmlTemplate");
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("Windows-1252 template declaring windows-1252")
            << QByteArray("<meta charset=\"windows-1252\">\xa9 #CONTENT#")
            << QByteArray("<meta charset=\"windows-1252\">\xa9 Caf\xe9 &#10003;");
        const QByteArray httpEquiv = "<!-- <meta charset=\"utf-8\"> --><META http-equiv="
                                     "\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">";
        QTest::newRow("a code page's other name in http-equiv; a comment does not count")
            << httpEquiv + "#CONTENT#" << httpEquiv + "Caf\xe9 &#10003;";
        QTest::newRow("another encoding declared becomes utf-8")
            << QByteArray("<meta charset='Shift_JIS'>#CONTENT#")
            << QByteArray("<meta charset='utf-8'>Caf\xc3\xa9 \xe2\x9c\x93");
        QTest::newRow("a byte order mark outweighs a declaration")
            << QByteArray("\xef\xbb\xbf<meta charset=\"windows-1252\">\xa9#CONTENT#")
            << QByteArray("\xef\xbb\xbf<meta charset=\"utf-8\">\xc2\xa9"
                          "Caf\xc3\xa9 \xe2\x9c\x93");
        QTest::newRow("no declaration: the template's own encoding")
            << QByteArray("\xa9 #CONTENT#") << QByteArray("\xa9 Caf\xe9 &#10003;");
        const QByteArray described = "<meta name=\"description\" content=\"charset=latin1\">"
                                     "<meta content=\"text/html; charset=latin1\">";
        QTest::newRow("charset= outside a declaration declares nothing")
            << described + "\xc2\xa9#CONTENT#"
            << described + "\xc2\xa9"
                           "Caf\xc3\xa9 \xe2\x9c\x93";
    }
    void pagesAgreeWithTheirCharset() {
        QFETCH(QByteArray, htmlTemplate);
        Folders f(htmlTemplate);
        PageGenerator generator =
            f.generator({f.entry("disclaimer.txt", "Caf\xc3\xa9 \xe2\x9c\x93")});
        QVERIFY(generator.prepare(nullptr));
        QVERIFY(generator.makePage(0));
        QTEST(f.unsigned_("disclaimer.html"), "page");
    }

    // A page already there is replaced only when that is safe: never through a link or over
    // anything but a regular file, silently only over our own unchanged page, and an edited or
    // foreign one only when the question says yes. An identical page is not even touched.
    void existingPagesAreReplacedOnlyWhenSafe_data() {
        QTest::addColumn<QString>("there");
        QTest::addColumn<bool>("answer"); // to the question, if asked
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("asked"); // what the question was told, or empty
        QTest::newRow("nothing there") << "nothing" << false << "written"
                                       << "";
        QTest::newRow("the same page is left untouched") << "same" << false << "untouched"
                                                         << "";
        QTest::newRow("our page that differs only in its date is left untouched")
            << "ours, another day" << false << "untouched"
            << "";
        QTest::newRow("our page of another text is replaced")
            << "ours, another text" << false << "written"
            << "";
        QTest::newRow("our page edited since is kept when told so")
            << "ours, edited" << false << "kept"
            << "edited";
        QTest::newRow("a page not ours is replaced when told so") << "foreign" << true << "written"
                                                                  << "foreign";
        QTest::newRow("a link to a file elsewhere is not written through")
            << "link" << true << "It is a link, not a page"
            << "";
        QTest::newRow("a link to nowhere makes nothing")
            << "dangling link" << true << "It is a link, not a page"
            << "";
        QTest::newRow("a pipe is not replaced") << "pipe" << true << "It is a pipe, not a page"
                                                << "";
    }
    void existingPagesAreReplacedOnlyWhenSafe() {
        QFETCH(QString, there);
        QFETCH(bool, answer);
        QFETCH(QString, asked);
        Folders f("<html><head>\n<title>#TITLE#</title>\n</head>#CONTENT#</html>");
        const QList<CatalogueEntry> pages{f.entry("disclaimer.txt", "[date]")};
        const QString path = f.site + "/disclaimer.html";
        QTemporaryDir elsewhere;
        const QString outside = TestData::write(elsewhere.path(), "private", "secret");
        if (there.startsWith("ours") || there == "same") {
            const QList<CatalogueEntry> earlier{there == "ours, another text"
                                                    ? f.entry("disclaimer.txt", "Then: [date]")
                                                    : pages[0]};
            PageGenerator first({f.pages,
                                 f.site,
                                 earlier,
                                 {"A", "http://a.b", "e@a.b"},
                                 QDate(2026, there == "same" ? 12 : 11, 6)});
            QVERIFY(first.prepare(nullptr) && first.makePage(0));
            f.entry("disclaimer.txt", "[date]");
        }
        if (there == "ours, edited")
            TestData::write(f.site, "disclaimer.html",
                            f.page("disclaimer.html").replace("November", "Nov."));
        if (there == "foreign")
            TestData::write(f.site, "disclaimer.html", "<p>hand made</p>");
        if (there == "link")
            QVERIFY(QFile::link(outside, path));
        if (there == "dangling link")
            QVERIFY(QFile::link(elsewhere.filePath("new"), path));
        if (there == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QByteArray before;
        if (QFileInfo(path).isFile() && !QFileInfo(path).isSymLink()) {
            before = f.page("disclaimer.html");
            QFile page(path);
            QVERIFY(page.open(QIODevice::ReadWrite));
            QVERIFY(page.setFileTime(QDateTime(QDate(2020, 1, 1), QTime()),
                                     QFileDevice::FileModificationTime));
        }

        PageGenerator generator(
            {f.pages, f.site, pages, {"A", "http://a.b", "e@a.b"}, QDate(2026, 12, 6)});
        QStringList questions;
        generator.setReplaceQuestion(
            [&](const QString &name, PageReplacement::Decision found, int after) {
                questions << name + ": " + PageGenerator::keptReason(found) +
                                 QString(" (%1 after)").arg(after);
                return answer;
            });
        QVERIFY(generator.prepare(nullptr));
        const PageGenerator::PlannedPage planned = generator.plan().at(0);
        generator.makeAll();

        const QString reasons[] = {"it was edited since it was written",
                                   "it was not written by this program"};
        QCOMPARE(questions, asked.isEmpty()
                                ? QStringList()
                                : QStringList{"disclaimer.html: " + reasons[asked == "foreign"] +
                                              " (0 after)"});
        QFETCH(QString, outcome);
        if (outcome.startsWith("It is")) {
            QCOMPARE(generator.failures().size(), 1);
            QCOMPARE(generator.failures().at(0).reason,
                     "it cannot be written to \"" + path + "\" (" + outcome + ")");
            QCOMPARE(planned.refusal, outcome);
            QCOMPARE(TestData::read(outside), QByteArray("secret"));
            QVERIFY(!QFileInfo::exists(elsewhere.filePath("new")));
            QCOMPARE(generator.linkCode(), QString());
            return;
        }
        QCOMPARE(generator.failures().size(), 0);
        QCOMPARE(generator.kept().size(), outcome == "kept" ? 1 : 0);
        QCOMPARE(generator.written().size(), outcome == "kept" ? 0 : 1);
        QVERIFY(!generator.linkCode().isEmpty());
        const QByteArray now = f.page("disclaimer.html");
        QCOMPARE(now == before, outcome == "kept" || outcome == "untouched");
        QCOMPARE(QFileInfo(path).lastModified().date().year() == 2020, outcome != "written");
        if (outcome == "written")
            QCOMPARE(PageReplacement::decide(now, now + " "), PageReplacement::Decision::Replace);
    }

    // What the user typed goes in as text, in one pass: no mark-up, no placeholder filled twice.
    // Text without mark-up characters keeps its bytes.
    void typedValuesGoInAsText() {
        Folders f("<a href=\"[siteurl]\">[sitename]</a> #CONTENT#");
        PageGenerator generator =
            f.generator({f.entry("a.txt", "[email] [date]")},
                        {"<script>x</script> [email] & Co's \"Best\"",
                         "https://a.test/?q=\"><svg onload=alert(1)>", "o'brien@a.test"});
        QVERIFY(generator.prepare(nullptr));
        QVERIFY(generator.makePage(0));
        QCOMPARE(f.unsigned_("a.html"),
                 QByteArray("<a href=\"https://a.test/?q=&quot;&gt;&lt;svg onload=alert(1)&gt;\">"
                            "&lt;script&gt;x&lt;/script&gt; [email] &amp; Co's &quot;Best&quot;"
                            "</a> o'brien@a.test December 6, 2026"));
    }

    // Mark-up characters are escaped and address characters percent-encoded in the target; an
    // apostrophe stays as it is.
    void linkCodeIsEscaped() {
        QString links;
        for (const QString name : {R"(Q&A "<B>" 100% #1?)", "Children'S Privacy"})
            links = LinkCode::withLink(links, PageNames::fromDisplayName(name));
        QCOMPARE(LinkCode::finished(links),
                 "<center>" +
                     anchor("q&amp;a-&quot;&lt;b&gt;&quot;-100%25-%231%3F.html",
                            "Q&amp;A-&quot;&lt;B&gt;&quot;-100%-#1?") +
                     " - " + anchor("children's-privacy.html", "Children'S-Privacy") + "</center>");
    }
};

QTEST_GUILESS_MAIN(PageGeneratorTest)
#include "tst_pagegenerator.moc"
