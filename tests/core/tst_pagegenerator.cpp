#include "app/Catalogue.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageGenerator.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

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

// A program's pages folder holding the HTML page template, and an empty site folder; the site's
// address is all blanks.
struct Folders {
    QTemporaryDir root;
    QString pages = root.filePath("templates/pages");
    QString site = root.filePath("site");
    PageGenerator generator{pages, site, {"Acme", "   ", "a@acme.test"}, QDate(2026, 12, 6)};

    Folders() {
        put(pages, "html/template.html", "\xef\xbb\xbf<title>#TITLE#</title>\r\n#CONTENT#\r\n");
        QDir().mkpath(site);
    }
    CatalogueEntry entry(const QString &fileName, const QByteArray &text) const {
        return {Catalogue::displayName(fileName), put(pages, fileName, text)};
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
        Folders f;
        put(f.site, "privacy-policy.html", QByteArray(5000, 'x')); // an older page, replaced
        QVERIFY(f.generator.loadTemplate());
        PageGenerator::Page made;
        QVERIFY(f.generator.makePage(
            f.entry("privacy-policy.txt", "[sitename][siteurl][email] [date] #TITLE#"), &made));
        const QString links = LinkCode::withLink({}, made.names);
        QCOMPARE(LinkCode::finished(links), "<center>" + Privacy + "</center>");
        // No blanks; read from the very file listed, whose name has a capital; Windows-1252 text.
        QVERIFY(
            f.generator.makePage(f.entry("Disclaimer.txt", "Caf\xe9 \xab\xd6k\xf8\xbb"), &made));
        QCOMPARE(LinkCode::finished(LinkCode::withLink(links, made.names)),
                 "<center>" + Privacy + R"( - <a href="disclaimer.html">Disclaimer</a></center>)");
        QCOMPARE(f.page("privacy-policy.html"),
                 QByteArray("<title>Privacy Policy</title>\r\n"
                            "Acme   a@acme.test December 6, 2026 #TITLE#\r\n"));
        QCOMPARE(f.page("disclaimer.html"),
                 QByteArray("<title>Disclaimer</title>\r\n"
                            "Caf\xc3\xa9 \xc2\xab\xc3\x96k\xc3\xb8\xc2\xbb\r\n")); // UTF-8
        QCOMPARE(f.inSite(), (QStringList{"disclaimer.html", "privacy-policy.html"}));
    }

    void failedPagesAreReportedTogetherAndTheOthersWritten() {
        Folders f;
        const CatalogueEntry gone = f.entry("cookies.txt", "two");
        QFile::remove(gone.filePath);
        QDir(f.site).mkpath("dmca.html"); // a folder where the page should go
        QVERIFY(f.generator.loadTemplate());
        QVERIFY(f.generator.makePage(f.entry("privacy-policy.txt", "one")));
        QVERIFY(!f.generator.makePage(gone));
        QVERIFY(!f.generator.makePage(f.entry("dmca.txt", "three")));
        QVERIFY(f.generator.makePage(f.entry("terms-of-service.txt", "four")));
        const QString report = f.generator.failureReport();
        QVERIFY2(report.startsWith("These pages could not be made:\n\ncookies.html: its page "
                                   "template \"cookies.txt\" cannot be read (") &&
                     report.contains(".\ndmca.html: it cannot be written to") &&
                     report.endsWith(".\n\nThe other pages were written."),
                 qPrintable(report));
        QCOMPARE(f.inSite(),
                 (QStringList{"dmca.html", "privacy-policy.html", "terms-of-service.html"}));
    }

    void missingTemplateIsNamedAndNothingWritten() {
        Folders f;
        const QString path = QDir(f.pages).filePath("html/template.html");
        QFile::remove(path);
        QString error;
        QVERIFY(!f.generator.loadTemplate(&error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        QVERIFY(!f.generator.makePage(f.entry("disclaimer.txt", "text")));
        QVERIFY(f.inSite().isEmpty());
    }
};

QTEST_GUILESS_MAIN(PageGeneratorTest)
#include "tst_pagegenerator.moc"
