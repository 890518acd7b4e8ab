#include "app/Catalogue.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageFormat.h"
#include "legalpages/PageGenerator.h"
#include "legalpages/PageNames.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Template =
    "<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head><meta charset=\"utf-8\">"
    "<title>#TITLE#</title></head>\r\n<body>\r\n<h1>#TITLE#</h1>\r\n"
    "#CONTENT#\r\n</body>\r\n</html>\r\n";

const QDate Day(2026, 12, 6);

QString write(const QString &dir, const QString &name, const QByteArray &bytes) {
    const QString path = QDir(dir).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

QByteArray read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QStringList namesIn(const QString &dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// A program's pages folder with the HTML page template and the given catalogue files.
struct Fixture {
    QTemporaryDir root;
    QString pages = root.filePath("templates/pages");
    QString site = root.filePath("site");

    Fixture() {
        write(pages, "html/template.html", Template);
        QDir().mkpath(site);
    }
    CatalogueEntry entry(const QString &fileName, const QByteArray &text) {
        return {Catalogue::displayName(fileName), write(pages, fileName, text)};
    }
    PageGenerator generator(const SiteFacts &facts = {"Acme", "https://acme.test", "a@acme.test"}) {
        PageGenerator made(pages, site, facts, Day);
        if (!made.loadTemplate())
            qFatal("template not read");
        return made;
    }
};

} // namespace

class PageGeneratorTest : public QObject {
    Q_OBJECT

private slots:
    void namesFromDisplayName_data() {
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("linkText");
        QTest::newRow("blanks become hyphens, file in lower case") << "Privacy Policy"
                                                                   << "privacy-policy.html"
                                                                   << "Privacy-Policy";
        QTest::newRow("no blanks") << "Disclaimer"
                                   << "disclaimer.html"
                                   << "Disclaimer";
        QTest::newRow("apostrophe kept") << "Children'S Privacy"
                                         << "children's-privacy.html"
                                         << "Children'S-Privacy";
        QTest::newRow("two blanks, two hyphens") << "Terms  Of Use"
                                                 << "terms--of-use.html"
                                                 << "Terms--Of-Use";
    }
    void namesFromDisplayName() {
        QFETCH(QString, displayName);
        QFETCH(QString, fileName);
        QFETCH(QString, linkText);
        const PageNames names = PageNames::fromDisplayName(displayName);
        QCOMPARE(names.title, displayName);
        QCOMPARE(names.fileName, fileName);
        QCOMPARE(names.linkTarget, fileName);
        QCOMPARE(names.linkText, linkText);
    }

    void linkCode_data() {
        QTest::addColumn<QStringList>("displayNames");
        QTest::addColumn<QString>("code");
        QTest::newRow("one page")
            << QStringList{"Privacy Policy"}
            << R"(<center><a href="privacy-policy.html">Privacy-Policy</a></center>)";
        QTest::newRow("further pages after a dash")
            << QStringList{"Privacy Policy", "Terms Of Service", "Dmca"}
            << R"(<center><a href="privacy-policy.html">Privacy-Policy</a> - )"
               R"(<a href="terms-of-service.html">Terms-Of-Service</a> - )"
               R"(<a href="dmca.html">Dmca</a></center>)";
    }
    void linkCode() {
        QFETCH(QStringList, displayNames);
        QFETCH(QString, code);
        QString links;
        for (const QString &name : displayNames)
            links = LinkCode::withLink(links, PageNames::fromDisplayName(name));
        QCOMPARE(LinkCode::finished(links), code);
    }

    void dateIsEnglishWhateverTheLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(PageFormat::dateText(Day), QString("December 6, 2026"));
        QCOMPARE(PageFormat::dateText(QDate(2027, 3, 21)), QString("March 21, 2027"));
        QLocale::setDefault(before);
    }

    void placeholdersFilledInOrder_data() {
        QTest::addColumn<QString>("htmlTemplate");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("siteName");
        QTest::addColumn<QString>("page");
        QTest::newRow("every occurrence filled")
            << "#TITLE#|#TITLE#|#CONTENT#|[sitename][siteurl][email][date]"
            << "body"
            << "Acme"
            << "Privacy Policy|Privacy Policy|body|Acmehttps://acme.testa@acme.testDecember 6, "
               "2026";
        QTest::newRow("site placeholders inside the catalogue text are filled")
            << "<h1>#TITLE#</h1>#CONTENT#"
            << "<p>[sitename] at [siteurl], [email], since [date]</p>"
            << "Acme"
            << "<h1>Privacy Policy</h1><p>Acme at https://acme.test, a@acme.test, since December "
               "6, 2026</p>";
        QTest::newRow("#TITLE# and #CONTENT# inside the catalogue text stay")
            << "#TITLE#:#CONTENT#"
            << "#TITLE# #CONTENT#"
            << "Acme"
            << "Privacy Policy:#TITLE# #CONTENT#";
        QTest::newRow("a site name of blanks goes in as is") << "[[sitename]]"
                                                             << ""
                                                             << "   "
                                                             << "[   ]";
        QTest::newRow("a site name holding a placeholder is filled further")
            << "#CONTENT#"
            << "[sitename]"
            << "[siteurl] [date]"
            << "https://acme.test December 6, 2026";
        QTest::newRow("letter case of placeholders counts") << "[SiteName] #title# #CONTENT#"
                                                            << "x"
                                                            << "Acme"
                                                            << "[SiteName] #title# x";
    }
    void placeholdersFilledInOrder() {
        QFETCH(QString, htmlTemplate);
        QFETCH(QString, content);
        QFETCH(QString, siteName);
        QFETCH(QString, page);
        QCOMPARE(PageFormat::compose(htmlTemplate, "Privacy Policy", content,
                                     {siteName, "https://acme.test", "a@acme.test"}, Day),
                 page);
    }

    void writesOneFilledPage() {
        Fixture f;
        const CatalogueEntry entry = f.entry(
            "privacy-policy.txt", "<p>[sitename] ([siteurl]) keeps your data.</p>\r\n"
                                  "<p>Write to [email]. Effective date: [date]. #TITLE#</p>\r\n");
        PageGenerator generator = f.generator();
        QVERIFY(generator.makePage(entry));
        QCOMPARE(generator.written(), QStringList{"privacy-policy.html"});
        QVERIFY(generator.failures().isEmpty());
        QCOMPARE(generator.failureReport(), QString());
        QCOMPARE(namesIn(f.site), QStringList{"privacy-policy.html"});
        QCOMPARE(
            read(QDir(f.site).filePath("privacy-policy.html")),
            QByteArray("<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head><meta charset=\"utf-8\">"
                       "<title>Privacy Policy</title></head>\r\n<body>\r\n"
                       "<h1>Privacy Policy</h1>\r\n"
                       "<p>Acme (https://acme.test) keeps your data.</p>\r\n"
                       "<p>Write to a@acme.test. Effective date: December 6, 2026. "
                       "#TITLE#</p>\r\n\r\n</body>\r\n</html>\r\n"));
    }

    void pagesAreWrittenAsUtf8() {
        Fixture f;
        // "Café «Ökø»" in Windows-1252, a site name outside it.
        const CatalogueEntry entry = f.entry("disclaimer.txt", "Caf\xe9 \xab\xd6k\xf8\xbb");
        write(f.pages, "html/template.html", "\xef\xbb\xbf#CONTENT# [sitename]");
        PageGenerator generator = f.generator({"Ærø ✓", "u", "e"});
        QVERIFY(generator.makePage(entry));
        QCOMPARE(read(QDir(f.site).filePath("disclaimer.html")),
                 QByteArray("Caf\xc3\xa9 \xc2\xab\xc3\x96k\xc3\xb8\xc2\xbb \xc3\x86r\xc3\xb8 "
                            "\xe2\x9c\x93"));
    }

    void existingPageIsReplaced() {
        Fixture f;
        write(f.site, "disclaimer.html", QByteArray(5000, 'x'));
        const CatalogueEntry entry = f.entry("disclaimer.txt", "short");
        write(f.pages, "html/template.html", "#TITLE#: #CONTENT#");
        PageGenerator generator = f.generator();
        QVERIFY(generator.makePage(entry));
        QCOMPARE(read(QDir(f.site).filePath("disclaimer.html")), QByteArray("Disclaimer: short"));
        QCOMPARE(namesIn(f.site), QStringList{"disclaimer.html"});
    }

    void entryReadsTheFileItWasListedFrom() {
        Fixture f;
        // A name with a blank and capitals: the display name alone would not find it again.
        const CatalogueEntry entry = f.entry("Cookie Notice.txt", "cookies");
        write(f.pages, "html/template.html", "#TITLE#=#CONTENT#");
        QCOMPARE(entry.displayName, QString("Cookie Notice"));
        PageGenerator generator = f.generator();
        QVERIFY(generator.makePage(entry));
        QCOMPARE(read(QDir(f.site).filePath("cookie-notice.html")),
                 QByteArray("Cookie Notice=cookies"));
    }

    void missingTemplateWritesNothing_data() {
        QTest::addColumn<bool>("folderInstead");
        QTest::newRow("template missing") << false;
        QTest::newRow("a folder where the template should be") << true;
    }
    void missingTemplateWritesNothing() {
        QFETCH(bool, folderInstead);
        Fixture f;
        const QString path = QDir(f.pages).filePath("html/template.html");
        QFile::remove(path);
        if (folderInstead)
            QDir().mkpath(path);
        const CatalogueEntry entry = f.entry("disclaimer.txt", "text");
        PageGenerator generator(f.pages, f.site, {"a", "b", "c"}, Day);
        QString error;
        QVERIFY(!generator.loadTemplate(&error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        QVERIFY(!generator.makePage(entry));
        QVERIFY(namesIn(f.site).isEmpty());
    }

    void failedPagesAreListedAndTheOthersWritten() {
        Fixture f;
        write(f.pages, "html/template.html", "#CONTENT#");
        const CatalogueEntry first = f.entry("a-first.txt", "one");
        CatalogueEntry unreadable = f.entry("b-gone.txt", "two");
        QFile::remove(unreadable.filePath);
        const CatalogueEntry blocked = f.entry("c-blocked.txt", "three");
        // A folder stands where the page file would go: the page cannot be written.
        QDir(f.site).mkpath("c-blocked.html");
        const CatalogueEntry last = f.entry("d-last.txt", "four");

        PageGenerator generator = f.generator();
        QVERIFY(generator.makePage(first));
        QVERIFY(!generator.makePage(unreadable));
        QVERIFY(!generator.makePage(blocked));
        QVERIFY(generator.makePage(last));

        QCOMPARE(generator.written(), (QStringList{"a-first.html", "d-last.html"}));
        QCOMPARE(generator.failures().size(), 2);
        QCOMPARE(generator.failures().at(0).fileName, QString("b-gone.html"));
        QCOMPARE(generator.failures().at(1).fileName, QString("c-blocked.html"));
        const QString report = generator.failureReport();
        QVERIFY2(report.startsWith("These pages could not be made:\n\nb-gone.html: its page "
                                   "template \"b-gone.txt\" cannot be read ("),
                 qPrintable(report));
        QVERIFY2(report.contains("\nc-blocked.html: it cannot be written to"), qPrintable(report));
        QVERIFY2(report.endsWith("\n\nThe other pages were written."), qPrintable(report));
        // Nothing half made, no temporary files left behind.
        QCOMPARE(namesIn(f.site), (QStringList{"a-first.html", "c-blocked.html", "d-last.html"}));
        QCOMPARE(read(QDir(f.site).filePath("d-last.html")), QByteArray("four"));
    }

    void siteFolderThatIsAFileWritesNothing() {
        Fixture f;
        const CatalogueEntry entry = f.entry("disclaimer.txt", "text");
        const QString notAFolder = write(f.root.path(), "site.txt", "a file");
        PageGenerator generator(f.pages, notAFolder, {"a", "b", "c"}, Day);
        QVERIFY(generator.loadTemplate());
        QVERIFY(!generator.makePage(entry));
        QVERIFY(generator.written().isEmpty());
        const QString report = generator.failureReport();
        QVERIFY2(report.startsWith("This page could not be made:\n\ndisclaimer.html: it cannot be "
                                   "written to"),
                 qPrintable(report));
        QVERIFY2(report.endsWith("\n\nNo page was written."), qPrintable(report));
        QCOMPARE(read(notAFolder), QByteArray("a file"));
    }
};

QTEST_GUILESS_MAIN(PageGeneratorTest)
#include "tst_pagegenerator.moc"
