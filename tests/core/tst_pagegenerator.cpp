#include "TestData.h"
#include "core/Catalogue.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageGenerator.h"

#include <QDir>
#include <QLocale>
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
                            const SiteFacts &facts = {"Acme", "   ", "a@acme.test"}) const {
        return PageGenerator({pages, site, entries, facts, QDate(2026, 12, 6), {}});
    }
    QByteArray page(const QString &name) const { return TestData::read(site + "/" + name); }
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
        QCOMPARE(f.page("privacy-policy.html"),
                 QByteArray("\xef\xbb\xbf<title>Privacy Policy</title>\r\n"
                            "Acme   a@acme.test December 6, 2026 #TITLE#\r\n"));
        QCOMPARE(f.page("disclaimer.html"),
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
    void refusedRunsWriteNothing_data() {
        QTest::addColumn<QByteArray>("htmlTemplate"); // "(none)": no file; "(pipe)": a named pipe
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("site");
        QTest::addColumn<QString>("told"); // "%1": the template's path
        const QByteArray good = "#CONTENT#", none = "(none)";
        const QStringList one{"a.txt"}, site{"Acme", "u", "e"};
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
        const QString error = "Error: The HTML page template \"%1\" ";
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
    }
    void pagesAgreeWithTheirCharset() {
        QFETCH(QByteArray, htmlTemplate);
        Folders f(htmlTemplate);
        PageGenerator generator =
            f.generator({f.entry("disclaimer.txt", "Caf\xc3\xa9 \xe2\x9c\x93")});
        QVERIFY(generator.prepare(nullptr));
        QVERIFY(generator.makePage(0));
        QTEST(f.page("disclaimer.html"), "page");
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
