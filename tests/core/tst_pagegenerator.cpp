#include "app/Catalogue.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageGenerator.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Privacy = R"(<a href="privacy-policy.html">Privacy-Policy</a>)";

QString put(const QString &dir, const QString &name, const QByteArray &bytes) {
    const QString path = QDir(dir).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A program's pages folder holding the HTML page template, and a site folder; the site's address
// is all blanks.
struct Folders {
    QTemporaryDir root;
    QString pages = root.filePath("templates/pages");
    QString site = root.filePath("site");
    QString templatePath = PageGenerator::templatePath(pages);

    explicit Folders(const QByteArray &htmlTemplate = "<title>#TITLE#</title>\r\n#CONTENT#\r\n") {
        put(pages, "html/template.html", htmlTemplate);
        QDir().mkpath(site);
    }
    CatalogueEntry entry(const QString &fileName, const QByteArray &text = "text") const {
        return {Catalogue::displayName(fileName), put(pages, fileName, text)};
    }
    PageGenerator generator(const QList<CatalogueEntry> &entries,
                            const SiteFacts &facts = {"Acme", "   ", "a@acme.test"}) const {
        return PageGenerator({pages, site, entries, facts, QDate(2026, 12, 6)});
    }
    QByteArray page(const QString &name) const {
        QFile file(QDir(site).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : "(unreadable)";
    }
    // Everything in the site folder: an unfilled copy or a temporary file would show here.
    QStringList inSite() const {
        return QDir(site).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                    QDir::Name);
    }
};

} // namespace

class PageGeneratorTest : public QObject {
    Q_OBJECT

private slots:
    // The date goes in in English whatever the user's locale.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void writesFilledPagesAndTheirLinkCode() {
        Folders f("\xef\xbb\xbf<title>#TITLE#</title>\r\n#CONTENT#\r\n");
        put(f.site, "privacy-policy.html", QByteArray(5000, 'x')); // an older page, replaced
        // No blanks; read from the very file listed, whose name has a capital; Windows-1252 text.
        PageGenerator generator =
            f.generator({f.entry("privacy-policy.txt", "[sitename][siteurl][email] [date] #TITLE#"),
                         f.entry("Disclaimer.txt", "Caf\xe9 \xab\xd6k\xf8\xbb")});
        QVERIFY(generator.prepare(nullptr));
        // What a dry run tells, before anything is written.
        const QList<PageGenerator::PlannedPage> plan = generator.plan();
        QCOMPARE(plan.size(), 2);
        QCOMPARE(plan.at(0).path, QDir(f.site).filePath("privacy-policy.html"));
        QVERIFY(plan.at(0).replaces && !plan.at(1).replaces);
        QCOMPARE(plan.at(1).names.fileName, QString("disclaimer.html"));
        QCOMPARE(f.inSite(), QStringList{"privacy-policy.html"});

        generator.makeAll();
        QCOMPARE(generator.linkCode(),
                 "<center>" + Privacy + R"( - <a href="disclaimer.html">Disclaimer</a></center>)");
        // The template's byte order mark stays, as the mark is what tells a browser the encoding.
        QCOMPARE(f.page("privacy-policy.html"),
                 QByteArray("\xef\xbb\xbf<title>Privacy Policy</title>\r\n"
                            "Acme   a@acme.test December 6, 2026 #TITLE#\r\n"));
        QCOMPARE(f.page("disclaimer.html"),
                 QByteArray("\xef\xbb\xbf<title>Disclaimer</title>\r\n"
                            "Caf\xc3\xa9 \xc2\xab\xc3\x96k\xc3\xb8\xc2\xbb\r\n")); // UTF-8
        QCOMPARE(f.inSite(), (QStringList{"disclaimer.html", "privacy-policy.html"}));
    }

    void failedPagesAreReportedTogetherAndLeftOutOfTheLinkCode() {
        Folders f;
        const CatalogueEntry gone = f.entry("cookies.txt");
        QFile::remove(gone.filePath);
        QDir(f.site).mkpath("dmca.html"); // a folder where the page should go
        PageGenerator generator = f.generator(
            {f.entry("privacy-policy.txt"), gone, f.entry("dmca.txt"), f.entry("terms.txt")});
        QVERIFY(generator.prepare(nullptr));
        generator.makeAll();
        const QString report = generator.failureReport();
        QVERIFY2(report.startsWith("These pages could not be made:\n\ncookies.html: its page "
                                   "template \"cookies.txt\" cannot be read (") &&
                     report.contains(".\ndmca.html: it cannot be written to") &&
                     report.endsWith(".\n\nThe other pages were written."),
                 qPrintable(report));
        QCOMPARE(generator.written(), (QStringList{"privacy-policy.html", "terms.html"}));
        QCOMPARE(generator.linkCode(),
                 "<center>" + Privacy + R"( - <a href="terms.html">Terms</a></center>)");
        QCOMPARE(f.inSite(), (QStringList{"dmca.html", "privacy-policy.html", "terms.html"}));
    }

    // Every check comes before anything is written, in this order: the inputs, the HTML page
    // template, the page names. A template that is a pipe is refused, never waited on.
    void refusedRunsWriteNothing_data() {
        QTest::addColumn<QString>("templateKind"); // "file", "missing" or "pipe"
        QTest::addColumn<QByteArray>("htmlTemplate");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("siteName");
        QTest::addColumn<QString>("told"); // "%1": the template's path
        const QByteArray good = "#CONTENT#";
        const QString error = "Error: The HTML page template \"%1\" ";
        QTest::newRow("inputs before the template")
            << "missing" << good << QStringList{"a.txt"} << ""
            << "Missing Info: Missing Info: 'Site Name' Field is Empty.";
        QTest::newRow("template missing")
            << "missing" << good << QStringList{"a.txt"} << "Acme"
            << error + "cannot be read (No such file or directory). No page was written.";
        QTest::newRow("template a pipe")
            << "pipe" << good << QStringList{"a.txt"} << "Acme"
            << error + "cannot be read (It is a pipe, not a file). No page was written.";
        QTest::newRow("template empty") << "file" << QByteArray() << QStringList{"a.txt"} << "Acme"
                                        << error + "is empty. No page was written.";
        QTest::newRow("template only a byte order mark")
            << "file" << QByteArray("\xef\xbb\xbf") << QStringList{"a.txt"} << "Acme"
            << error + "is empty. No page was written.";
        const QString noContent = error + "has no \"#CONTENT#\" where the text of a page goes. No "
                                          "page was written.";
        QTest::newRow("template without #CONTENT#")
            << "file" << QByteArray("<h1>#TITLE#</h1>\n#content#") << QStringList{"a.txt"} << "Acme"
            << noContent;
        QTest::newRow("template before names")
            << "file" << QByteArray("#TITLE#") << QStringList{"a-b.txt", "A-B.txt"} << "Acme"
            << noContent;
        QTest::newRow("names that make one page")
            << "file" << good
            << QStringList{"a-b.txt", "A-B.txt", "c d.txt", "c-d.txt", "e.txt", "c-D.txt"} << "Acme"
            << "Error: These legal pages would be written to the same page file:\n\n"
               "a-b.html: a-b.txt, A-B.txt\nc-d.html: c d.txt, c-d.txt, c-D.txt\n\n"
               "Rename or remove catalogue files so that each page has a name of its own. No "
               "page was written.";
    }
    void refusedRunsWriteNothing() {
        QFETCH(QString, templateKind);
        QFETCH(QByteArray, htmlTemplate);
        QFETCH(QStringList, pages);
        QFETCH(QString, siteName);
        QFETCH(QString, told);
        Folders f(htmlTemplate);
        if (templateKind != "file")
            QVERIFY(QFile::remove(f.templatePath));
        if (templateKind == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(f.templatePath).constData(), 0600), 0);
        QList<CatalogueEntry> entries;
        for (const QString &name : pages)
            entries.append(f.entry(name));
        put(f.site, "a.html", "kept");

        PageGenerator generator = f.generator(entries, {siteName, "u", "e"});
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

    // A page's bytes agree with the charset its HTML declares.
    void pagesAgreeWithTheirCharset_data() {
        QTest::addColumn<QByteArray>("htmlTemplate");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("page");
        const QByteArray cafeUtf8 = "Caf\xc3\xa9 \xe2\x9c\x93"; // "Café ✓"
        QTest::newRow("Windows-1252 template declaring windows-1252")
            << QByteArray("<meta charset=\"windows-1252\">\xa9 #CONTENT#") << cafeUtf8
            << QByteArray("<meta charset=\"windows-1252\">\xa9 Caf\xe9 &#10003;");
        QTest::newRow("declared in http-equiv, another name of the code page")
            << QByteArray("<META http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=ISO-8859-1\">#CONTENT#")
            << cafeUtf8
            << QByteArray("<META http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=ISO-8859-1\">Caf\xe9 &#10003;");
        QTest::newRow("a declaration in a comment does not count")
            << QByteArray("<!-- <meta charset=\"windows-1252\"> --><meta charset=\"utf-8\">"
                          "#CONTENT#")
            << QByteArray("Caf\xe9")
            << QByteArray("<!-- <meta charset=\"windows-1252\"> --><meta charset=\"utf-8\">"
                          "Caf\xc3\xa9");
        QTest::newRow("another encoding declared becomes utf-8")
            << QByteArray("<meta charset='Shift_JIS'>#CONTENT#") << cafeUtf8
            << QByteArray("<meta charset='utf-8'>") + cafeUtf8;
        QTest::newRow("a byte order mark outweighs a declaration")
            << QByteArray("\xef\xbb\xbf<meta charset=\"windows-1252\">\xa9#CONTENT#")
            << QByteArray("Caf\xe9")
            << QByteArray("\xef\xbb\xbf<meta charset=\"utf-8\">\xc2\xa9"
                          "Caf\xc3\xa9");
        QTest::newRow("no declaration: the template's own encoding")
            << QByteArray("\xa9 #CONTENT#") << cafeUtf8 << QByteArray("\xa9 Caf\xe9 &#10003;");
    }
    void pagesAgreeWithTheirCharset() {
        QFETCH(QByteArray, htmlTemplate);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, page);
        Folders f(htmlTemplate);
        PageGenerator generator = f.generator({f.entry("disclaimer.txt", content)});
        QVERIFY(generator.prepare(nullptr));
        QVERIFY(generator.makePage(0));
        QCOMPARE(f.page("disclaimer.html"), page);
    }

    void linkCodeIsEscaped_data() {
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("link");
        QTest::newRow("ordinary name as it is") << "Privacy Policy" << Privacy;
        QTest::newRow("an apostrophe as it is")
            << "Children'S Privacy"
            << "<a href=\"children's-privacy.html\">Children'S-Privacy</a>";
        QTest::newRow("mark-up characters escaped")
            << R"(Q&A "<B>")"
            << R"(<a href="q&amp;a-&quot;&lt;b&gt;&quot;.html">Q&amp;A-&quot;&lt;B&gt;&quot;</a>)";
        QTest::newRow("address characters percent-encoded in the target")
            << "100% #1?"
            << R"(<a href="100%25-%231%3F.html">100%-#1?</a>)";
    }
    void linkCodeIsEscaped() {
        QFETCH(QString, displayName);
        QFETCH(QString, link);
        const PageNames names = PageNames::fromDisplayName(displayName);
        QCOMPARE(LinkCode::finished(LinkCode::withLink({}, names)),
                 "<center>" + link + "</center>");
    }
};

QTEST_GUILESS_MAIN(PageGeneratorTest)
#include "tst_pagegenerator.moc"
