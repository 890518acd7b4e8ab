// The site's own pages edited in place: where the links go in pages of every shape, which pages
// are refused, and that a rerun changes nothing and removal gives back every byte.
#include "FileSizeLimit.h"
#include "TestData.h"
#include "site/PageEdit.h"
#include "site/PageLayout.h"
#include "site/SiteEditor.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using B = QByteArray;
const QByteArray kStart = "<!-- clausewright:links -->", kEnd = "<!-- /clausewright:links -->";

PageEdit::Placement links(const QString &title = "Privacy Policy") {
    PageEdit::Placement placement;
    placement.links = {{"privacy-policy.html", title, false}};
    placement.consentFolder = "clausewright-consent";
    return placement;
}

} // namespace

class PageEditTest : public QObject {
    Q_OBJECT

private slots:
    void linksArePlacedOrThePageRefused_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("before"); // the bytes just before the block; "" refused
        QTest::addColumn<QByteArray>("after");  // the bytes just after it; or the reason
        QTest::newRow("inside the footer")
            << B("<html><body><p>x</p><footer>f</footer></body></html>") << B("<footer>f")
            << B("</footer></body>");
        QTest::newRow("BOM and CR LF kept, block in CR LF")
            << B("\xEF\xBB\xBF<!DOCTYPE html>\r\n<body>\r\n<footer>\r\n</footer>\r\n"
                 "</body>\r\n")
            << B("<footer>\r\n") << B("</footer>\r\n</body>");
        QTest::newRow("upper-case tags") << B("<HTML><BODY><FOOTER>x</FOOTER></BODY></HTML>")
                                         << B("<FOOTER>x") << B("</FOOTER></BODY>");
        QTest::newRow("no footer: before </body>")
            << B("<body><p>x</p>\n</body>\n</html>") << B("<p>x</p>\n") << B("</body>\n");
        QTest::newRow("an article's footer is not the page's")
            << B("<body><article><footer>a</footer></article></body>") << B("</article>")
            << B("</body>");
        QTest::newRow("no </body>: before </html>")
            << B("<body><p>x</p></html>") << B("<p>x</p>") << B("</html>");
        QTest::newRow("no </body> nor </html>: at the end")
            << B("<body><p>x</p>") << B("<p>x</p>") << B("");
        QTest::newRow("</body> in a comment")
            << B("<body><!-- </body> --><p>x</p></body>") << B("<p>x</p>") << B("</body>");
        QTest::newRow("</body> in a script string")
            << B("<body><script>var s = \"</body>\";</script><p>x</p></body>") << B("<p>x</p>")
            << B("</body>");
        QTest::newRow("</footer> in an attribute value")
            << B("<body><footer><a title='</footer>'>a</a></footer></body>") << B("a</a>")
            << B("</footer></body>");
        QTest::newRow("frameset refused")
            << B("<html><frameset><frame src=a.html></frameset></html>") << B("")
            << B("it is a frameset, with no body to place into");
        QTest::newRow("no body refused")
            << B("<html><head><title>x</title></head></html>") << B("") << B("it has no <body>");
        QTest::newRow("UTF-16 refused")
            << B("\xFF\xFE<\0b\0>\0", 8) << B("") << B("it is written in UTF-16");
    }
    void linksArePlacedOrThePageRefused() {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        const PageEdit::Result placed = PageEdit::edit(page, 0, links());
        if (before.isEmpty()) {
            QCOMPARE(placed.outcome, PageEdit::Result::Refused);
            QCOMPARE(placed.reason, QString::fromLatin1(after));
            return;
        }
        QCOMPARE(placed.outcome, PageEdit::Result::Changed);
        const QByteArray &out = placed.bytes;
        QVERIFY2(out.contains(before + kStart), out.constData());
        QVERIFY2(out.sliced(out.indexOf(kEnd) + kEnd.size()).startsWith(after), out.constData());
        QCOMPARE(out.count(kStart), 1);
        // The block's line ends are the page's.
        QCOMPARE(out.count('\n') == out.count("\r\n"), page.contains("\r\n"));
        // A rerun changes nothing; removal gives back the page's bytes.
        QCOMPARE(PageEdit::edit(out, 0, links()).outcome, PageEdit::Result::Unchanged);
        QCOMPARE(PageEdit::strip(out), page);
        QCOMPARE(PageEdit::edit(out, 0, {}).bytes, page);
    }

    // A Windows-1252 page gets the titles in Windows-1252; its own bytes stay.
    void windows1252PageKeepsItsEncoding() {
        const QByteArray page = "<body><p>Caf\xe9</p></body>";
        const PageEdit::Result placed = PageEdit::edit(page, 2, links("Confidentialit\u00e9"));
        QVERIFY(placed.bytes.startsWith("<body><p>Caf\xe9</p>" + kStart));
        QVERIFY(placed.bytes.contains("<a href=\"../../privacy-policy.html\">Confidentialit\xe9<"));
        QCOMPARE(PageEdit::strip(placed.bytes), page);
    }

    // A changed set of links replaces the block in place; a stray start marker without its end is
    // left as it is.
    void newLinksReplaceTheBlock() {
        const QByteArray page = "<body><footer>f</footer><!-- clausewright:links --></body>";
        const QByteArray once = PageEdit::edit(page, 0, links("A")).bytes;
        const PageEdit::Result twice = PageEdit::edit(once, 0, links("B"));
        QCOMPARE(twice.outcome, PageEdit::Result::Changed);
        QCOMPARE(twice.bytes.count(kStart), 2); // ours, and the page's stray one
        QVERIFY(twice.bytes.contains(">B</a>") && !twice.bytes.contains(">A</a>"));
        QCOMPARE(PageEdit::strip(twice.bytes), page);
    }

    // With consent, a service's scripts and iframes wait for their category: only attributes are
    // added after the tag's name, so removal gives back the tag's bytes.
    void consentHoldsServiceTags_data() {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QByteArray>("held"); // the tag as placed; "" when left as it is
        QTest::newRow("a script by its address")
            << B("<SCRIPT async src=https://ads.test/a.js></SCRIPT>")
            << B("<SCRIPT type=\"text/plain\" data-category=\"advertising\" data-service=\"ads\" "
                 "data-clausewright async src=https://ads.test/a.js></SCRIPT>");
        QTest::newRow("a module keeps its type for later")
            << B("<script type=module src='https://ads.test/m.js'></script>")
            << B("<script type=\"text/plain\" data-category=\"advertising\" data-service=\"ads\" "
                 "data-type=\"module\" data-clausewright type=module "
                 "src='https://ads.test/m.js'></script>");
        QTest::newRow("an inline script by its text")
            << B("<script>track('ads.test')</script>")
            << B("<script type=\"text/plain\" data-category=\"advertising\" data-service=\"ads\" "
                 "data-clausewright>track('ads.test')</script>");
        QTest::newRow("an iframe shows a note until consent")
            << B("<iframe src=\"https://ads.test/f\"></iframe>")
            << B("<iframe srcdoc=\"&lt;p style='font:14px sans-serif'&gt;This content from another "
                 "site loads once you accept its category (advertising) in the cookie "
                 "settings.&lt;/p&gt;\" data-category=\"advertising\" data-service=\"ads\" "
                 "data-clausewright src=\"https://ads.test/f\"></iframe>");
        QTest::newRow("data, not a script")
            << B("<script type=application/ld+json>{\"ads.test\": 1}"
                 "</script>")
            << B();
        QTest::newRow("already waiting for another tool")
            << B("<script type=text/plain data-category=x src=https://ads.test/a.js></script>")
            << B();
        QTest::newRow("another service") << B("<script src=https://cdn.test/a.js></script>") << B();
    }
    void consentHoldsServiceTags() {
        QFETCH(QByteArray, tag);
        QFETCH(QByteArray, held);
        PageEdit::Placement placement = links();
        placement.consent = true;
        placement.matcher = [](QByteArrayView, QByteArrayView src,
                               QByteArrayView text) -> std::optional<PageEdit::Held> {
            if (src.contains("ads.test") || text.contains("ads.test"))
                return PageEdit::Held{"advertising", "ads"};
            return std::nullopt;
        };
        const B page = "<html><head>" + tag + "</head><body><footer></footer></body></html>";
        const PageEdit::Result placed = PageEdit::edit(page, 1, placement);
        QVERIFY(
            placed.bytes.startsWith("<html><head>" + (held.isEmpty() ? tag : held) + "</head>"));
        QVERIFY(
            placed.bytes.contains("data-cc=\"show-preferencesModal\">Cookie settings</a></li>"));
        QVERIFY(placed.bytes.contains(
            "<script src=\"../clausewright-consent/consent-config.js\"></script>"
            "<!-- /clausewright:consent --></body>"));
        QCOMPARE(PageEdit::edit(placed.bytes, 1, placement).outcome, PageEdit::Result::Unchanged);
        QCOMPARE(PageEdit::strip(placed.bytes), page);
    }

    // The legal page takes everything outside the layout page's <main> (or the element named),
    // its title replaced and its canonical link dropped, and stays valid HTML.
    void layoutLendsItsLook_data() {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QByteArray>("expected"); // "" when refused
        PageEdit::Placement withIcon = links();
        withIcon.links.append({"your-privacy-choices.html", "Your Privacy Choices", true});
        const B home =
            PageEdit::edit(TestData::read(CW_SOURCE_DIR "/examples/site/index.html"), 0, withIcon)
                .bytes;
        QTest::newRow("the example site's home page, with the links") << home << "" << home;
        const B cp1252 = "<!DOCTYPE html><html><head><meta charset=windows-1252><TITLE>Caf\xe9"
                         "</TITLE><link rel=canonical href=/>\r\n</head><body><DIV id=content>"
                         "<p>x</p></DIV><p>\xe9</p></body></html>\r\n";
        QTest::newRow("Windows-1252, an element by id, upper case")
            << cp1252 << "#content"
            << B("<!DOCTYPE html><html><head><meta charset=windows-1252><TITLE>Privacy &amp; "
                 "Caf\xe9</TITLE>\r\n</head><body><DIV id=content>\n<h1>T\xe9</h1>\n</DIV><p>"
                 "\xe9</p></body></html>\r\n");
        QTest::newRow("no <main>") << B("<body><p>x</p></body>") << "" << B();
        QTest::newRow("<main> without its end tag")
            << B("<body><main><p>x</p></body>") << "" << B();
    }
    void layoutLendsItsLook() {
        QFETCH(QByteArray, layout);
        QFETCH(QString, element);
        QFETCH(QByteArray, expected);
        QTemporaryDir site;
        TestData::write(site.path(), "index.html", layout);
        QString why;
        const std::optional<PageLayout> loaded =
            PageLayout::load(site.path(), "index.html", element, &why);
        if (expected.isEmpty()) {
            QVERIFY(!loaded);
            QVERIFY2(why.contains("has no <main> element with a start and an end tag"),
                     qPrintable(why));
            return;
        }
        QVERIFY2(loaded, qPrintable(why));
        const QString composed = "<html><head><title>x</title></head><body><header>h</header>"
                                 "<main>\n<h1>T\u00e9</h1>\n</main></body></html>";
        const QByteArray dressed = loaded->dress("Privacy & Caf\u00e9", composed);
        if (element.isEmpty()) {
            // Outside <main>, the layout page's bytes; inside, the legal text.
            const qsizetype open = layout.indexOf("<main>") + 6, close = layout.indexOf("</main>");
            QCOMPARE(dressed.left(dressed.indexOf("<main>") + 6)
                         .replace("<title>Privacy &amp; Caf\xc3\xa9</title>",
                                  "<title>Plain Living Notes</title>"),
                     layout.left(open));
            QCOMPARE(dressed.sliced(dressed.indexOf("</main>")), layout.sliced(close));
            QVERIFY(dressed.contains("<main>\n<h1>T\xc3\xa9</h1>\n</main>"));
            const QString page = site.filePath("privacy-policy.html");
            TestData::write(site.path(), "privacy-policy.html", dressed);
            QProcess tidy;
            tidy.start("tidy", {"-q", "-e", page});
            if (!tidy.waitForFinished(20000))
                QSKIP("tidy cannot run here");
            QCOMPARE(tidy.readAllStandardError(), QByteArray());
            QCOMPARE(tidy.exitCode(), 0);
        } else {
            QCOMPARE(dressed, expected);
        }
        QVERIFY(!PageLayout::load(site.path(), "sub/index.html", element, &why));
    }

    // The whole site: pages in subfolders link upwards, links and special files are never
    // written, a dry run writes nothing, permissions stay, and --remove gives back every byte.
    void siteRunPlacesAndRemoves() {
        QTemporaryDir root;
        const QString site = root.filePath("site"), outside = root.filePath("outside");
        const QByteArray page = "<body><footer>f</footer></body>\n";
        TestData::write(site, "index.html", page);
        TestData::write(site, "blog/post.HTM", page);
        TestData::write(site, ".hidden/page.html", page);
        TestData::write(site, "notes.txt", page);
        TestData::write(site, "frames.html", "<frameset></frameset>");
        TestData::write(outside, "other.html", page);
        QVERIFY(::symlink(qPrintable(outside + "/other.html"), qPrintable(site + "/link.html")) ==
                0);
        QVERIFY(::symlink(qPrintable(outside), qPrintable(site + "/linked")) == 0);
        QVERIFY(::mkfifo(qPrintable(site + "/pipe.html"), 0644) == 0);
        QVERIFY(::chmod(qPrintable(site + "/index.html"), 0640) == 0);

        const auto run = [&](const PageEdit::Placement &placement, bool dry) {
            QStringList said;
            const SiteEditor::Summary s =
                SiteEditor::run(site, placement, dry, [&](const SiteEditor::Page &p) {
                    said << p.path + ": " + QString::number(p.outcome) + " " + p.reason;
                });
            said << QStringLiteral("%1 %2 %3 %4")
                        .arg(s.changed)
                        .arg(s.unchanged)
                        .arg(s.refused)
                        .arg(s.failed);
            return said;
        };
        const QStringList refused{"frames.html: 2 it is a frameset, with no body to place into",
                                  "link.html: 2 it is a symbolic link",
                                  "linked/: 2 it is a symbolic link to a folder, not followed",
                                  "pipe.html: 2 it is not a regular file"};
        QCOMPARE(run(links(), true), QStringList{"blog/post.HTM: 1 "} + refused.mid(0, 1) +
                                         QStringList{"index.html: 1 "} + refused.mid(1) +
                                         QStringList{"2 0 4 0"});
        QCOMPARE(TestData::read(site + "/index.html"), page);
        QCOMPARE(run(links(), false).last(), "2 0 4 0");
        QVERIFY(TestData::read(site + "/blog/post.HTM")
                    .contains("<a href=\"../privacy-policy.html\">Privacy Policy</a>"));
        QCOMPARE(run(links(), false).last(), "0 2 4 0");
        struct stat info {};
        QVERIFY(::stat(qPrintable(site + "/index.html"), &info) == 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        for (const QString &untouched :
             {site + "/.hidden/page.html", site + "/notes.txt", outside + "/other.html"})
            QCOMPARE(TestData::read(untouched), page);

        // A write that fails (a full disk) leaves the page as it was and no temporary file.
        {
            FileSizeLimit full(16);
            QVERIFY(full.active());
            QCOMPARE(run({}, false).last(), "0 1 3 2");
        }
        QVERIFY(TestData::read(site + "/index.html").contains(kStart));
        QCOMPARE(run({}, false).last(), "2 1 3 0");
        QCOMPARE(TestData::read(site + "/index.html"), page);
        QCOMPARE(TestData::read(site + "/blog/post.HTM"), page);
        QCOMPARE(QDir(site).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                      QDir::NoDotAndDotDot),
                 (QStringList{".hidden", "blog", "frames.html", "index.html", "link.html", "linked",
                              "notes.txt", "pipe.html"}));
    }
};

QTEST_GUILESS_MAIN(PageEditTest)
#include "tst_pageedit.moc"
