// The site scan: the tokenizer's states, what counts as a service in a page, the catalogue files.
#include "TestData.h"
#include "core/FolderListing.h"
#include "site/HtmlTokenizer.h"
#include "site/ServiceCatalogue.h"
#include "site/SiteScan.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray serviceFile(const char *name, const char *category, const char *detect) {
    return QByteArray("name = \"") + name + "\"\ncompany = \"Co\"\ncompany_country = \"US\"\n" +
           "category = \"" + category + "\"\npurpose = \"p\"\nsets_cookies = true\n" +
           "california_sale = false\nprivacy_url = \"https://x.test/p\"\nchecked = 2026-12-06\n" +
           "[detect]\n" + detect + "\n";
}

// A small catalogue with the shapes the real one uses.
ServiceCatalogue testCatalogue() {
    const QList<QPair<const char *, QByteArray>> files{
        {"ga", serviceFile("GA", "analytics",
                           "loads = [\"www.googletagmanager.com/gtag/js?id=G-\"]\n"
                           "inline = [\"gtag('config', 'G-\"]")},
        {"gtm", serviceFile("GTM", "analytics",
                            "loads = [\"www.googletagmanager.com/gtm.js\", \"*/gtm.js?id=GTM-\","
                            " \"www.googletagmanager.com/ns.html\"]\n"
                            "inline = [\"googletagmanager.com/gtm.js\"]")},
        {"yt", serviceFile("YouTube", "embed", "loads = [\"youtube.com/embed/\"]")},
        {"yt-nocookie",
         serviceFile("YouTube (no cookies)", "embed", "loads = [\"youtube-nocookie.com/embed/\"]")},
        {"amazon",
         serviceFile("Amazon Associates", "affiliate", "links = [\"amazon.*?tag=\", \"amzn.to\"]")},
        {"fonts", serviceFile("Fonts", "fonts",
                              "loads = [\"fonts.googleapis.com\"]\n"
                              "inline = [\"fonts.googleapis.com/css\"]")},
        {"pixel", serviceFile("Pixel", "advertising", "loads = [\"px.ads.test/t.gif\"]")},
    };
    QList<Service> services;
    for (const auto &[id, text] : files) {
        QString error;
        const std::optional<Service> s = ServiceCatalogue::parse(text, id, id, &error);
        if (!s)
            qFatal("%s", qPrintable(error));
        services.append(*s);
    }
    return ServiceCatalogue(services);
}

// The tokens of html in a short form: "S:a[href=x,b] T:hi E:a C:note D:html R:code".
QString tokens(const QByteArray &html) {
    HtmlTokenizer tokenizer(html);
    HtmlTokenizer::Token t;
    QStringList out;
    qsizetype covered = 0;
    while (tokenizer.next(t)) {
        if (t.begin != covered)
            return QStringLiteral("gap at %1").arg(covered);
        covered = t.end;
        const QString content =
            QString::fromUtf8(html.mid(t.contentBegin, t.contentEnd - t.contentBegin));
        switch (t.kind) {
        case HtmlTokenizer::Kind::StartTag:
        case HtmlTokenizer::Kind::EndTag: {
            QStringList attributes;
            for (const HtmlTokenizer::Attribute &a : t.attributes) {
                if (a.value != html.mid(a.valueBegin, a.valueEnd - a.valueBegin))
                    return QStringLiteral("value offsets wrong");
                attributes << QString::fromUtf8(a.name) +
                                  (a.hasValue ? "=" + QString::fromUtf8(a.value) : QString());
            }
            out << (t.kind == HtmlTokenizer::Kind::StartTag ? "S:" : "E:") +
                       QString::fromUtf8(t.name) +
                       (attributes.isEmpty() ? QString() : "[" + attributes.join(',') + "]") +
                       (t.selfClosing ? "/" : "");
            break;
        }
        case HtmlTokenizer::Kind::Text:
            out << "T:" + content;
            break;
        case HtmlTokenizer::Kind::RawText:
            out << "R:" + content;
            break;
        case HtmlTokenizer::Kind::Comment:
            out << "C:" + content;
            break;
        case HtmlTokenizer::Kind::Doctype:
            out << "D:" + content.trimmed();
            break;
        }
    }
    return out.join(' ');
}

QString ids(const QList<const Service *> &services) {
    QStringList out;
    for (const Service *s : services)
        out << s->id;
    return out.join(' ');
}

} // namespace

class TestSiteScan : public QObject {
    Q_OBJECT

private slots:
    void tokenizerFollowsTheHtmlStates_data() {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("attribute shapes")
            << QByteArray("<A HREF=x.html class='a>b' hidden data-x = \"1\">t</a>")
            << "S:a[HREF=x.html,class=a>b,hidden,data-x=1] T:t E:a";
        QTest::newRow("self-closing and slash between attributes")
            << QByteArray("<img/src=a.png/><br/>") << "S:img[src=a.png/] S:br/";
        QTest::newRow("a tag in a comment is no tag")
            << QByteArray("<!-- <script src=x></script> -->x") << "C: <script src=x></script>  T:x";
        QTest::newRow("abrupt comments") << QByteArray("<!-->a<!--->b") << "C: T:a C: T:b";
        QTest::newRow("--!> closes a comment") << QByteArray("<!--a--!>b") << "C:a T:b";
        QTest::newRow("bogus comments")
            << QByteArray("<?php echo 1 ?><!x></ y>") << "C:?php echo 1 ? C:x C: y";
        QTest::newRow("doctype") << QByteArray("<!DOCTYPE html><p>") << "D:html S:p";
        QTest::newRow("a lone < is text") << QByteArray("a < b <3 c") << "T:a  T:< b  T:<3 c";
        QTest::newRow("a script string holding a tag")
            << QByteArray("<script>var s = \"<iframe src='y'>\";</script><p>")
            << "S:script R:var s = \"<iframe src='y'>\"; E:script S:p";
        QTest::newRow("an escaped script hides its </script>")
            << QByteArray("<script><!--<script>a</script>b--></script>")
            << "S:script R:<!--<script>a</script>b--> E:script";
        QTest::newRow("</scripts> does not end a script")
            << QByteArray("<script>a</scripts>b</SCRIPT >") << "S:script R:a</scripts>b E:script";
        QTest::newRow("style, title and textarea hold no tags")
            << QByteArray("<style>a<b></style><title><i>t</title><textarea><a></textarea>")
            << "S:style R:a<b> E:style S:title T:<i>t E:title S:textarea T:<a> E:textarea";
        QTest::newRow("an empty script") << QByteArray("<script></script>") << "S:script E:script";
        QTest::newRow("a tag cut off by the end") << QByteArray("a<img src=\"x") << "T:a";
    }
    void tokenizerFollowsTheHtmlStates() {
        QFETCH(QByteArray, html);
        QFETCH(QString, expected);
        QCOMPARE(tokens(html), expected);
    }

    void pageScanFindsWhatIsLoaded_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("expected");
        QTest::newRow("analytics tag")
            << QByteArray(
                   "<script async src=\"https://www.googletagmanager.com/gtag/js?id=G-AB12\">"
                   "</script><script>gtag('config', 'G-AB12');</script>")
            << "ga";
        QTest::newRow("a Google Ads tag is not analytics")
            << QByteArray(
                   "<script src=\"https://www.googletagmanager.com/gtag/js?id=AW-1\"></script>")
            << "";
        QTest::newRow("tag manager inline loader and noscript frame")
            << QByteArray(
                   "<script>(function(w,d,s,l,i){j.src='https://www.googletagmanager.com/"
                   "gtm.js?id='+i;"
                   "})(window,document,'script','dataLayer','GTM-X');</script>"
                   "<noscript><iframe src=\"https://www.googletagmanager.com/ns.html?id=GTM-X\">"
                   "</iframe></noscript>")
            << "gtm";
        QTest::newRow("tag manager served from the site's own host")
            << QByteArray("<script src=\"/t/gtm.js?l=x&amp;id=GTM-X\"></script>") << "gtm";
        QTest::newRow("a commented-out tag")
            << QByteArray("<!-- <script "
                          "src=\"https://www.googletagmanager.com/gtag/js?id=G-1\"></script> -->")
            << "";
        QTest::newRow("prose naming services")
            << QByteArray("<p>We like YouTube, Google Analytics and amazon.com?tag=x; see "
                          "https://www.youtube.com/embed/x</p>")
            << "";
        QTest::newRow("a tag quoted in a script string")
            << QByteArray(
                   "<script>d.write(\"<iframe src='https://www.youtube.com/embed/x'>\")</script>")
            << "";
        QTest::newRow("a snippet shown in a text area or escaped in code")
            << QByteArray(
                   "<textarea><script src=\"https://fonts.googleapis.com/css\"></script></textarea>"
                   "<pre><code>&lt;iframe src=\"https://www.youtube.com/embed/x\"&gt;</code></pre>")
            << "";
        QTest::newRow("JSON-LD naming a host")
            << QByteArray(
                   "<script "
                   "type=\"application/ld+json\">{\"u\":\"fonts.googleapis.com/css\"}</script>")
            << "";
        QTest::newRow("cookie-setting video embed")
            << QByteArray("<iframe width=560 src=\"https://www.youtube.com/embed/abc\" "
                          "allowfullscreen></iframe>")
            << "yt";
        QTest::newRow("privacy-enhanced video embed, lazy")
            << QByteArray("<iframe data-src=\"//www.youtube-nocookie.com/embed/abc\"></iframe>")
            << "yt-nocookie";
        QTest::newRow("a link to a video is no embed")
            << QByteArray("<a href=\"https://www.youtube.com/embed/abc\">watch</a>") << "";
        QTest::newRow("affiliate link with its tag, any country")
            << QByteArray("<a href=\"https://www.amazon.co.uk/dp/B0?ref=x&amp;tag=me-21\">buy</a>")
            << "amazon";
        QTest::newRow("affiliate short link")
            << QByteArray("<a href='https://amzn.to/3xYz'>buy</a>") << "amazon";
        QTest::newRow("a plain shop link is no affiliate link")
            << QByteArray("<a href=\"https://www.amazon.com/dp/B0?th=1\">buy</a>") << "";
        QTest::newRow("a look-alike host")
            << QByteArray("<a href=\"https://notamazn.to/x\">x</a>"
                          "<script src=\"https://evilyoutube.com/embed/\"></script>")
            << "";
        QTest::newRow("font stylesheet, and a hint that loads nothing")
            << QByteArray(
                   "<link rel=preconnect href=\"https://fonts.googleapis.com\">"
                   "<link rel=\"stylesheet\" href=\"https://fonts.googleapis.com/css2?family=A\">")
            << "fonts";
        QTest::newRow("a hint alone")
            << QByteArray("<link rel=\"dns-prefetch\" href=\"//fonts.googleapis.com\">") << "";
        QTest::newRow("font import in a style body")
            << QByteArray(
                   "<style>@import url('https://fonts.googleapis.com/css?family=B');</style>")
            << "fonts";
        QTest::newRow("font files in a style body and a style attribute")
            << QByteArray("<style>@font-face{src:url( \"https://fonts.googleapis.com/s/a.woff2\" )}"
                          "</style><div style=\"background:url(//px.ads.test/t.gif)\"></div>")
            << "fonts pixel";
        QTest::newRow("an import of a site's own sheet, a commented-out one")
            << QByteArray(
                   "<style>@import 'local.css'; @import url(/x.css);/* url(//px.ads.test/t.gif) "
                   "*/</style>")
            << "";
        QTest::newRow("pixel in a srcset, upper-case host")
            << QByteArray("<img srcset=\"a.png 1x, HTTPS://PX.ADS.TEST/t.gif?u=1 2x\">") << "pixel";
        QTest::newRow("template expressions around the address")
            << QByteArray("{% if site.yt %}<iframe src=\"https://www.youtube.com/embed/{{ id }}\">"
                          "</iframe>{% endif %}")
            << "yt";
    }
    void pageScanFindsWhatIsLoaded() {
        QFETCH(QByteArray, page);
        QFETCH(QString, expected);
        QCOMPARE(ids(SiteScan::scanPage(page, testCatalogue())), expected);
    }

    // The shipped catalogue on tags as the services' own instructions shape them.
    void shippedCatalogueKnowsRealTags_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("expected");
        QTest::newRow("analytics: gtag")
            << QByteArray("<script async src=\"https://www.googletagmanager.com/gtag/js?id=G-X1\">"
                          "</script><script>window.dataLayer = window.dataLayer || [];</script>")
            << "google-analytics";
        QTest::newRow("analytics: cookieless")
            << QByteArray("<script defer data-domain=\"a.org\" "
                          "src=\"https://plausible.io/js/script.js\"></script>")
            << "plausible";
        QTest::newRow("analytics: matomo self-hosted")
            << QByteArray("<script>var _paq = window._paq = window._paq || [];\n"
                          "_paq.push(['trackPageView']);</script>")
            << "matomo";
        QTest::newRow("advertising: adsense and its consent tool")
            << QByteArray(
                   "<script async src=\"https://pagead2.googlesyndication.com/pagead/js/"
                   "adsbygoogle.js?client=ca-pub-1\" crossorigin=\"anonymous\"></script>"
                   "<script async src=\"https://fundingchoicesmessages.google.com/i/pub-1?ers=1\">"
                   "</script>")
            << "google-adsense google-privacy-messaging";
        QTest::newRow("advertising: pixel inline and noscript")
            << QByteArray(
                   "<script>!function(f,b,e,v,n,t,s){}(window, document,'script',"
                   "'https://connect.facebook.net/en_US/fbevents.js');fbq('init', '1');</script>"
                   "<noscript><img height=\"1\" src=\"https://www.facebook.com/tr?id=1&ev=PageView"
                   "&noscript=1\"/></noscript>")
            << "meta-pixel";
        QTest::newRow("affiliate: links of four networks")
            << QByteArray("<a href=\"https://www.amazon.de/dp/B0/?tag=me-21\">a</a>"
                          "<a href=\"https://shareasale.com/r.cfm?b=1&amp;u=2&amp;m=3\">b</a>"
                          "<a href=\"https://www.anrdoezrs.net/click-1-2\">c</a>"
                          "<a href=\"https://brand.sjv.io/c/1/2/3\">d</a>")
            << "amazon-associates cj-affiliate impact shareasale";
        QTest::newRow("embed: standard, no-cookie, do-not-track")
            << QByteArray("<iframe src=\"https://www.youtube-nocookie.com/embed/a\"></iframe>"
                          "<iframe src=\"https://player.vimeo.com/video/1?h=2&amp;dnt=1\"></iframe>"
                          "<iframe src=\"https://www.google.com/maps/embed?pb=x\"></iframe>")
            << "google-maps vimeo-dnt youtube-nocookie";
        QTest::newRow("embed: ordinary player")
            << QByteArray("<iframe src=\"https://player.vimeo.com/video/1?badge=0\"></iframe>")
            << "vimeo";
        QTest::newRow("newsletter: forms")
            << QByteArray(
                   "<form action=\"https://x.us21.list-manage.com/subscribe/post?u=1&amp;id=2\" "
                   "method=\"post\" id=\"mc-embedded-subscribe-form\"></form>"
                   "<form action=\"https://app.convertkit.com/forms/1/subscriptions\"></form>")
            << "mailchimp kit";
        QTest::newRow("comments: disqus loader, giscus")
            << QByteArray(
                   "<script>var d = document, s = d.createElement('script');"
                   "s.src = 'https://blog.disqus.com/embed.js';</script>"
                   "<script src=\"https://giscus.app/client.js\" data-repo=\"a/b\" async></script>")
            << "disqus giscus";
        QTest::newRow("fonts: stylesheet and import")
            << QByteArray("<link href=\"https://fonts.googleapis.com/css2?family=Inter\" "
                          "rel=\"stylesheet\">"
                          "<style>@import url(\"https://p.typekit.net/p.css?s=1&k=x\");</style>")
            << "google-fonts adobe-fonts";
        QTest::newRow("payments: script and button form")
            << QByteArray(
                   "<script src=\"https://js.stripe.com/v3/\"></script>"
                   "<form action=\"https://www.paypal.com/cgi-bin/webscr\" method=\"post\"></form>")
            << "stripe paypal";
        QTest::newRow("consent: a banner from a public CDN is both")
            << QByteArray(
                   "<script src=\"https://cdn.jsdelivr.net/gh/orestbida/cookieconsent@3.0.1/dist/"
                   "cookieconsent.umd.js\"></script>")
            << "vanilla-cookieconsent jsdelivr";
        QTest::newRow("consent: held-back frame keeps its address")
            << QByteArray("<iframe suppressedsrc=\"https://www.youtube.com/embed/a\" "
                          "class=\"_iub_cs_activate\"></iframe>")
            << "youtube";
    }
    void shippedCatalogueKnowsRealTags() {
        QFETCH(QByteArray, page);
        QFETCH(QString, expected);
        static const ServiceCatalogue shipped =
            ServiceCatalogue::load(QStringLiteral(CW_SOURCE_DIR "/templates/services"));
        QStringList want = expected.split(' ', Qt::SkipEmptyParts), got;
        for (const Service *s : SiteScan::scanPage(page, shipped))
            got << s->id;
        want.sort();
        got.sort();
        QCOMPARE(got, want);
    }

    void shippedCatalogueIsCompleteAndValid() {
        const ServiceCatalogue c =
            ServiceCatalogue::load(QStringLiteral(CW_SOURCE_DIR "/templates/services"));
        QCOMPARE(c.errors(), QStringList());
        QVERIFY2(c.services().size() >= 40, qPrintable(QString::number(c.services().size())));
        for (const QString &category : ServiceCatalogue::categories())
            QVERIFY2(!c.inCategory(category).isEmpty(), qPrintable(category));
        for (const Service &s : c.services()) {
            QVERIFY2(s.checked.isValid() && s.privacyUrl.startsWith("https://"), qPrintable(s.id));
            QVERIFY2(s.variantOf.isEmpty() || c.find(s.variantOf), qPrintable(s.id));
            const ServiceDetection &d = s.detection;
            QVERIFY2(!(d.loads + d.links + d.inlines).isEmpty(), qPrintable(s.id));
        }
    }

    void faultyServiceFileIsNamedWithLineAndColumn_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        const QByteArray good = serviceFile("A", "fonts", "loads = [\"a.test\"]");
        QTest::newRow("syntax") << QByteArray("name = \"A\nx = 1\n")
                                << "bad.toml:1:10: Error while parsing string: unescaped control "
                                   "characters other than TAB (U+0009) are explicitly prohibited";
        QTest::newRow("unknown category")
            << QByteArray(good).replace("\"fonts\"", "\"font\"")
            << "bad.toml:4:12: unknown category 'font' (one of: analytics, advertising, affiliate, "
               "embed, newsletter, comments, fonts, payments, consent, other)";
        QTest::newRow("misspelt key") << QByteArray(good).replace("purpose =", "purpse =")
                                      << "bad.toml:5:1: unknown key 'purpse'";
        QTest::newRow("wrong type") << QByteArray(good).replace("= true", "= \"yes\"")
                                    << "bad.toml:6:16: 'sets_cookies' must be true or false";
        QTest::newRow("misspelt key of a store")
            << good + "[[stores]]\nname = \"a\"\nduraton = \"1\"\npurpose = \"p\"\n"
            << "bad.toml:14:1: unknown key 'stores.duraton'";
        QTest::newRow("a rule with its scheme")
            << QByteArray(good).replace("\"a.test\"", "\"https://a.test\"")
            << "bad.toml:11:10: an address rule starts with its host, not 'https://a.test'";
    }
    void faultyServiceFileIsNamedWithLineAndColumn() {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QTemporaryDir dir;
        TestData::write(dir.path(), "bad.toml", text);
        TestData::write(dir.path(), "good.toml", serviceFile("G", "other", ""));
        const ServiceCatalogue c = ServiceCatalogue::load(dir.path());
        QCOMPARE(c.services().size(), 1);
        QCOMPARE(c.errors(), QStringList{dir.path() + "/" + error});
    }

    // What a caller that edits the page needs: each place, with its element's start tag.
    void findingsPointAtTheirBytes() {
        const QByteArray page =
            "<p>x</p><script async "
            "src=\"https://www.googletagmanager.com/gtag/js?id=G-1\"></script>"
            "<script>j.src='https://www.googletagmanager.com/gtm.js?id='+i;</script>"
            "<img srcset=\"a.png 1x, https://px.ads.test/t.gif 2x\"><a "
            "href='https://amzn.to/x'>b</a>";
        const ServiceCatalogue catalogue = testCatalogue();
        QStringList got;
        for (const SiteScan::Finding &f : SiteScan::findings(page, catalogue))
            got << QString("%1 %2 %3 | %4")
                       .arg(f.service->id)
                       .arg(int(f.how))
                       .arg(QString::fromUtf8(page.mid(f.begin, f.end - f.begin)),
                            QString::fromUtf8(page.mid(f.tagBegin, f.tagEnd - f.tagBegin)));
        QCOMPARE(got, QStringList({"ga 0 https://www.googletagmanager.com/gtag/js?id=G-1 | <script "
                                   "async src=\"https://www.googletagmanager.com/gtag/js?id=G-1\">",
                                   "gtm 2 j.src='https://www.googletagmanager.com/gtm.js?id='+i; | "
                                   "<script>",
                                   "pixel 0 https://px.ads.test/t.gif | <img srcset=\"a.png 1x, "
                                   "https://px.ads.test/t.gif 2x\">",
                                   "amazon 1 https://amzn.to/x | <a href='https://amzn.to/x'>"}));
    }

    // The search skips ahead over inline bodies: no position may be skipped over.
    void inlineTextIsFoundAtEveryPosition() {
        for (const ServiceCatalogue &c :
             {testCatalogue(),
              ServiceCatalogue::load(QStringLiteral(CW_SOURCE_DIR "/templates/services"))}) {
            for (const Service &s : c.services()) {
                for (const QString &marker : s.detection.inlines) {
                    for (int before = 0; before < 24; ++before) {
                        for (int after : {0, 1, 7}) {
                            const QByteArray body =
                                QByteArray("a(b);'\"c").repeated(4).left(before) + marker.toUtf8() +
                                QByteArray(after, ';');
                            const QList<const Service *> found = c.matchInline(body);
                            QVERIFY2(found.contains(&s),
                                     qPrintable(s.id + ": " + QString::fromUtf8(body)));
                        }
                    }
                }
            }
        }
    }

    void siteScanReadsPagesAndTemplatesInTheFolder() {
        QTemporaryDir dir, outside;
        const QString site = dir.path();
        const QByteArray yt = "<iframe src=\"https://www.youtube.com/embed/a\"></iframe>";
        TestData::write(site, "index.html", yt);
        TestData::write(site, "b/page.HTM", yt);
        TestData::write(site, "_includes/footer.njk", "<a href=\"https://amzn.to/x\">x</a>");
        TestData::write(site, "notes.md", yt);
        TestData::write(site, "css/site.scss", "@import url('https://px.ads.test/t.gif');");
        TestData::write(site, ".git/x.html", yt);
        TestData::write(site, "node_modules/x.html", yt);
        TestData::write(outside.path(), "far.html", yt);
        QFile::link(outside.path() + "/far.html", site + "/far.html");
        QFile::link(outside.path(), site + "/far");
        QFile::link(site + "/b", site + "/loop");
        QFile::link(site + "/missing.html", site + "/gone.html");
        // A folder whose name is not UTF-8: read all the same.
        const QByteArray odd = QFile::encodeName(site) + "/odd\xff";
        QVERIFY(::mkdir(odd.constData(), 0755) == 0);
        QFile page;
        QVERIFY(page.open(::open((odd + "/x.html").constData(), O_WRONLY | O_CREAT, 0644),
                          QIODevice::WriteOnly, QFile::AutoCloseHandle));
        page.write(yt);
        page.close();

        const SiteScanResult r = SiteScan::scan(site, testCatalogue());
        QCOMPARE(r.found.keys(), QStringList({"amazon", "pixel", "yt"}));
        QCOMPARE(r.found.value("pixel"), QStringList{"css/site.scss"});
        QCOMPARE(r.found.value("amazon"), QStringList{"_includes/footer.njk"});
        QCOMPARE(r.found.value("yt"), QStringList({"b/page.HTM", "index.html",
                                                   FolderListing::shownName("odd\xff/x.html")}));
        QCOMPARE(r.unreadable.size(), 1);
        QCOMPARE(r.unreadable.first().path, QStringLiteral("gone.html"));
        // QTemporaryDir cannot remove a name that is not UTF-8.
        ::unlink((odd + "/x.html").constData());
        ::rmdir(odd.constData());
    }
};

QTEST_GUILESS_MAIN(TestSiteScan)
#include "tst_sitescan.moc"
