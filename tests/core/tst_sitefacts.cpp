#include "site/FactQuestions.h"
#include "site/FactsFile.h"
#include "site/PageLanguage.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

// "audience.eu=true; consent.tool=none; services.ads=[a b]; services.fonts=[]": facts in one line.
Facts factsOf(const QString &line) {
    Facts facts;
    for (const QString &item : line.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString key = item.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = item.section(QLatin1Char('='), 1).trimmed();
        if (value == "true" || value == "false")
            facts.set(key, value == "true");
        else if (value.startsWith('['))
            facts.set(key, value.mid(1, value.size() - 2).split(' ', Qt::SkipEmptyParts));
        else
            facts.set(key, value);
    }
    return facts;
}

// Every category answered "none" but those named.
Facts withServices(const QString &line) {
    Facts facts;
    for (const QString &category : FactQuestions::categories())
        facts.set("services." + category, QStringList{});
    const Facts more = factsOf(line);
    for (const QString &key : more.keys())
        facts.set(key, more.value(key));
    return facts;
}

// The catalogue's say: "adnet" is advertising and a sale, "stats" analytics; the pages there.
PageLanguage::Context contextFor(const Facts &facts, bool draft = false) {
    static Facts kept;
    kept = facts;
    PageLanguage::Context c;
    c.world.facts = &kept;
    c.world.pagePresent = [](const QString &page) { return page == "cookie-policy"; };
    c.world.categoryOf = [](const QString &id) {
        return id == "adnet" ? QString("advertising") : id == "stats" ? "analytics" : "";
    };
    c.world.sellsInCalifornia = [](const QString &id) { return id == "adnet"; };
    c.page = [](const QString &name) -> std::optional<PageLanguage::PageLink> {
        if (name == "cookie-policy")
            return PageLanguage::PageLink{"cookie-policy.html", "Cookie Policy"};
        return std::nullopt;
    };
    c.list = [](const QString &category) { return "<ul>" + category + "</ul>"; };
    c.table = [](const QString &name) -> std::optional<QString> {
        if (name == "cookies")
            return QString("<table/>");
        return std::nullopt;
    };
    c.draft = draft;
    return c;
}

} // namespace

class SiteFactsTest : public QObject {
    Q_OBJECT

private slots:
    void conditions_data() {
        QTest::addColumn<QString>("facts");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("expected"); // "true", "false", "open: KEYS" or "error: ..."
        const QString all = "*";               // every services list answered
        QTest::newRow("bool") << "audience.eu=true"
                              << "audience.eu"
                              << "true";
        QTest::newRow("text none is false") << "consent.tool=none"
                                            << "consent.tool"
                                            << "false";
        QTest::newRow("text other is true") << "consent.tool=Klaro"
                                            << "consent.tool"
                                            << "true";
        QTest::newRow("equals") << "consent.tool=none"
                                << "consent.tool = none"
                                << "true";
        QTest::newRow("not equals") << "consent.tool=none"
                                    << "consent.tool != none"
                                    << "false";
        QTest::newRow("quoted words") << "shop.products=digital and physical"
                                      << "shop.products = \"digital and physical\""
                                      << "true";
        QTest::newRow("open fact") << ""
                                   << "audience.eu"
                                   << "open: audience.eu";
        QTest::newRow("false and open needs nothing") << "audience.eu=false"
                                                      << "audience.eu and audience.uk"
                                                      << "false";
        QTest::newRow("true or open needs nothing") << "audience.eu=true"
                                                    << "audience.uk or audience.eu"
                                                    << "true";
        QTest::newRow("true and open needs it") << "audience.eu=true"
                                                << "audience.eu and audience.uk"
                                                << "open: audience.uk";
        QTest::newRow("and binds tighter than or")
            << "audience.eu=true;audience.uk=false;audience.children=false"
            << "audience.eu or audience.uk and audience.children"
            << "true";
        QTest::newRow("parentheses") << "audience.eu=true;audience.uk=false;audience.children=false"
                                     << "(audience.eu or audience.uk) and audience.children"
                                     << "false";
        QTest::newRow("not") << "audience.eu=true"
                             << "not not not audience.eu"
                             << "false";
        QTest::newRow("category used") << all + "services.advertising=[adnet]"
                                       << "category:advertising"
                                       << "true";
        QTest::newRow("category empty list") << all << "category:advertising"
                                             << "false";
        QTest::newRow("category open") << ""
                                       << "category:advertising"
                                       << "open: services.advertising";
        QTest::newRow("service asks its own category only") << "services.analytics=[stats]"
                                                            << "service:stats"
                                                            << "true";
        QTest::newRow("service open in its category") << ""
                                                      << "service:adnet"
                                                      << "open: services.advertising";
        QTest::newRow("sells from the catalogue") << all + "services.advertising=[adnet]"
                                                  << "sells:california"
                                                  << "true";
        QTest::newRow("sells none") << all + "services.analytics=[stats]"
                                    << "sells:california"
                                    << "false";
        QTest::newRow("page there") << ""
                                    << "page:cookie-policy and not page:terms-of-use"
                                    << "true";
        QTest::newRow("unknown fact") << ""
                                      << "audience.mars"
                                      << "error: there is no fact \"audience.mars\"";
        QTest::newRow("unknown category") << ""
                                          << "category:ads"
                                          << "error: there is no service category \"ads\"";
        QTest::newRow("unclosed") << ""
                                  << "(audience.eu"
                                  << "error: a \"(\" is not closed";
        QTest::newRow("dangling and") << ""
                                      << "audience.eu and"
                                      << "error: the condition ends too soon";
        QTest::newRow("compared with nothing")
            << ""
            << "consent.tool ="
            << "error: \"consent.tool\" is compared with nothing";
    }
    void conditions() {
        QFETCH(QString, facts);
        QFETCH(QString, condition);
        QFETCH(QString, expected);
        const Facts f = facts.startsWith('*') ? withServices(facts.mid(1)) : factsOf(facts);
        const FactCondition::Result r = FactCondition::evaluate(condition, contextFor(f).world);
        const QString got = !r.error.isEmpty() ? "error: " + r.error
                            : r.value          ? QString(*r.value ? "true" : "false")
                                               : "open: " + r.missing.join(' ');
        QCOMPARE(got, expected);
    }

    void render_data() {
        QTest::addColumn<QString>("facts");
        QTest::addColumn<bool>("draft");
        QTest::addColumn<QString>("templateText");
        QTest::addColumn<QString>("expected");    // the page's text
        QTest::addColumn<QStringList>("missing"); // or the template's faults
        const QString old =
            "<p>[sitename] at [siteurl], [email], [date] [sic] [1] [a.] [fig.2] x[if</p>\n";
        QTest::newRow("old placeholders untouched") << "" << false << old << old << QStringList{};
        QTest::newRow("fact escaped")
            << "operator.legal_name=A & B <Ltd>" << false << "By [operator.legal_name]."
            << "By A &amp; B &lt;Ltd&gt;." << QStringList{};
        QTest::newRow("lines of marks vanish")
            << "audience.eu=false" << false
            << "a\n  [if audience.eu]\nEU\n[elif audience.eu = false]\nnot EU\n[else]\nx\n[end]\nb"
            << "a\nnot EU\nb" << QStringList{};
        QTest::newRow("inline marks keep the line")
            << "audience.eu=true" << false << "a [if audience.eu]EU[else]no[end] b\n"
            << "a EU b\n"
            << QStringList{};
        QTest::newRow("nested, facts in untaken branches not needed")
            << "audience.eu=false" << false
            << "[if audience.eu][if audience.uk][operator.vat][end][else]none[end]"
            << "none" << QStringList{};
        QTest::newRow("missing facts listed once in order")
            << "" << false << "[operator.address] [if audience.eu]x[end] [operator.address]"
            << "  " << QStringList{"operator.address", "audience.eu"};
        QTest::newRow("draft shows the question")
            << "" << true << "By [operator.legal_name].\n[if audience.eu]\nEU\n[end]\n"
            << "By [CHECK: Who runs the site: the full legal name of the person or business?].\n"
               "[CHECK: Does the site serve readers in the European Union?]\n"
            << QStringList{"operator.legal_name", "audience.eu"};
        QTest::newRow("review stripped")
            << "" << false << "[review]\n- one\n\n  two\n[/review]\n<p>x</p>\n"
            << "<p>x</p>\n"
            << QStringList{};
        QTest::newRow("link to a page there")
            << "" << false << "[if page:cookie-policy]See [link cookie-policy].[end]"
            << "See <a href=\"cookie-policy.html\">Cookie Policy</a>." << QStringList{};
        QTest::newRow("sentence left out for a page not there")
            << "" << false << "a[if page:terms-of-use] See [link terms-of-use].[end]"
            << "a" << QStringList{};
        QTest::newRow("list needs its category") << "" << false << "[list advertising]"
                                                 << "" << QStringList{"services.advertising"};
        QTest::newRow("list") << "services.fonts=[]" << false << "[list fonts]"
                              << "<ul>fonts</ul>" << QStringList{};
        QStringList every;
        for (const QString &category : FactQuestions::categories())
            every << "services." + category;
        QTest::newRow("table needs every category") << "" << false << "[table cookies]"
                                                    << "" << every;
        QTest::newRow("table") << "*" << false << "[table cookies]"
                               << "<table/>" << QStringList{};
        const QStringList faults{"line 1: [end] without its [if]",
                                 "line 2: [link terms-of-use]: that page is neither written nor "
                                 "in the site; put the link inside [if page:terms-of-use]",
                                 "line 3: [operator.nmae]: there is no fact \"operator.nmae\"",
                                 "line 4: [table x]: there is no such table",
                                 "line 5: [if (]: the condition ends too soon",
                                 "line 6: [else] without its [if]",
                                 "line 5: [if] has no [end]",
                                 "line 7: [review] has no [/review]"};
        QTest::newRow("faults of the template")
            << "*" << false
            << "[end]\n[link terms-of-use]\n[operator.nmae]\n[table x]\n[if "
               "(]\n[else][else]\n[review]"
            << "" << faults;
    }
    void render() {
        QFETCH(QString, facts);
        QFETCH(bool, draft);
        QFETCH(QString, templateText);
        QFETCH(QString, expected);
        QFETCH(QStringList, missing);
        const Facts f = facts.startsWith('*') ? withServices(facts.mid(1)) : factsOf(facts);
        const PageLanguage::Rendered r = PageLanguage::render(templateText, contextFor(f, draft));
        if (!r.errors.isEmpty()) {
            QCOMPARE(r.errors, missing);
            return;
        }
        QCOMPARE(r.text, expected);
        QCOMPARE(r.missing, missing);
    }

    void reviewNotes() {
        const PageLanguage::Rendered r = PageLanguage::render(
            "[review]\n- Check one.\n[if audience.eu]\n* EU note.\n[end]\n  Last.\n[/review]\nx",
            contextFor(factsOf("audience.eu=false")));
        QCOMPARE(r.review, (QStringList{"Check one.", "Last."}));
        QCOMPARE(r.text, "x");
    }

    // Whatever is written reads back the same; an open answer stays open.
    void factsFileRoundTrip() {
        Facts facts = withServices("services.advertising=[adnet other]");
        facts.set("operator.legal_name", "Quote \" back\\slash\nline");
        facts.set("audience.eu", false);
        facts.set("audience.uk", true);
        const QString text = FactsFile::write(facts, {{"services.advertising", {"found: a.html"}}});
        QVERIFY(text.contains("# Which advertising services does the site use? (a list of service "
                              "ids, [] for none)\n# found: a.html\nadvertising = [\"adnet\", "
                              "\"other\"]\n"));
        QVERIFY(text.contains("# Does the site address children under 16 on purpose? (true or "
                              "false)\nchildren = \"\"\n"));
        Facts back;
        QString error;
        QVERIFY2(FactsFile::parse(text.toUtf8(), "f.toml", back, &error), qPrintable(error));
        QCOMPARE(back, facts);
        QCOMPARE(FactsFile::write(back), FactsFile::write(facts));
        // Every question, its long ones wrapped over comment lines.
        const QString unwrapped = QString(text).replace("\n# ", " ");
        for (const FactQuestion &q : FactQuestions::all())
            QVERIFY2(unwrapped.contains(q.question), qPrintable(q.key));
        QVERIFY(text.contains("\n# If the site is run from outside the EU but serves readers "
                              "there: who represents it in the EU (name\n# and address)?"));
    }

    // Scripts rely on the keys: the manual page documents every one.
    void manualNamesEveryKey() {
        QFile manual(CW_SOURCE_DIR "/packaging/clausewright.1.in");
        QVERIFY(manual.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(manual.readAll());
        for (const FactQuestion &q : FactQuestions::all())
            QVERIFY2(QRegularExpression("[ \n]" + QRegularExpression::escape(q.key) + "[ \n]")
                         .match(text)
                         .hasMatch(),
                     qPrintable(q.key));
    }

    void factsFileFaults_data() {
        QTest::addColumn<QByteArray>("toml");
        QTest::addColumn<QString>("expected"); // the error, or "warning: ..."
        QTest::newRow("not toml") << QByteArray("[site]\nname = \"x\n") << "f.toml:2:10: ";
        QTest::newRow("text for a bool")
            << QByteArray("[audience]\n\neu = \"yes\"\n")
            << "f.toml:3:6: audience.eu: the answer must be true or false (or \"\" while open)";
        QTest::newRow("number in a list")
            << QByteArray("[services]\nfonts = [\"a\", 1]\n")
            << "f.toml:2:9: services.fonts: the list may hold only service ids in quotes";
        QTest::newRow("bool for a text") << QByteArray("[site]\nname = true\n")
                                         << "f.toml:2:8: site.name: the answer must be a text in "
                                            "quotes";
        QTest::newRow("unknown key warned")
            << QByteArray("[site]\nname = \"A\"\nnmae = \"B\"\n")
            << "warning: f.toml:3:8: no question has the key \"site.nmae\"; it is ignored";
    }
    void factsFileFaults() {
        QFETCH(QByteArray, toml);
        QFETCH(QString, expected);
        Facts facts = factsOf("site.name=kept");
        QString error;
        QStringList warnings;
        const bool ok = FactsFile::parse(toml, "f.toml", facts, &error, &warnings);
        if (expected.startsWith("warning: ")) {
            QVERIFY(ok);
            QCOMPARE(warnings, QStringList{expected.mid(9)});
            QCOMPARE(facts.text("site.name"), "A");
            return;
        }
        QVERIFY(!ok);
        QVERIFY2(error.startsWith(expected), qPrintable(error));
        QCOMPARE(facts.text("site.name"), "kept");
    }
};

QTEST_GUILESS_MAIN(SiteFactsTest)
#include "tst_sitefacts.moc"
