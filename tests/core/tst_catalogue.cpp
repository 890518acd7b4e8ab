// The shipped catalogue, read from the source tree exactly as it is installed beside the program.
#include "TestData.h"
#include "bulk/RecommendationBuilder.h"
#include "bulk/SnippetMarks.h"
#include "core/Catalogue.h"
#include "legalpages/PageFormat.h"
#include "legalpages/PageGenerator.h"
#include "legalpages/PageNames.h"
#include "site/FactsFile.h"
#include "site/ServiceCatalogue.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kTemplates = QStringLiteral(CW_SOURCE_DIR "/templates");

// The text of a shipped file; a file that is not plain UTF-8 (or starts with a BOM) is empty.
QString readUtf8(const QString &path) {
    const QByteArray bytes = TestData::read(path);
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    return decode.hasError() || bytes.startsWith("\xEF\xBB\xBF") ? QString() : text;
}

QStringList readLines(const QString &path) {
    return readUtf8(path).remove('\r').split('\n', Qt::SkipEmptyParts);
}

QStringList txtFiles(const QString &dir) {
    return QDir(kTemplates + dir).entryList({"*.txt"}, QDir::Files, QDir::Name);
}

// Empty when every tag is closed in order and every "&" starts an entity; otherwise what is wrong.
QString tagProblem(QString html) {
    static const QRegularExpression comment("<!--.*?-->",
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression token("<(/?)([a-zA-Z][a-zA-Z0-9]*)\\b[^<>]*>|<!DOCTYPE html>|<|"
                                          "&(?![a-zA-Z]+;|#[0-9]+;|#x[0-9a-fA-F]+;)");
    static const QStringList voids = {"meta", "br", "img", "hr", "link", "input", "wbr"};
    QStringList open;
    for (auto it = token.globalMatch(html.remove(comment)); it.hasNext();) {
        const auto m = it.next();
        const QString name = m.captured(2).toLower(), at = QString::number(m.capturedStart());
        if (m.capturedLength() == 1)
            return "stray " + m.captured(0) + " at " + at;
        if (name.isEmpty() || voids.contains(name))
            continue;
        if (m.captured(1).isEmpty())
            open << name;
        else if (open.isEmpty() || open.takeLast() != name)
            return "unexpected </" + name + "> at " + at;
    }
    return open.isEmpty() ? QString() : "unclosed <" + open.join("> <") + ">";
}

const QRegularExpression kCatalogueName("^[a-z]+(-[a-z]+)*\\.txt$");

// A whole-word, case-blind pattern for any of the words parted by "|" (each may take a plural "s").
QRegularExpression anyOf(const QString &words) {
    return QRegularExpression("\\b(" + words + ")s?\\b", QRegularExpression::CaseInsensitiveOption);
}
// A closing goes with whatever product the user names, so it may not vouch for it or name a kind.
const QRegularExpression kClaims = anyOf(
    "we use|we used|ourselves|helped us|worked for|others have|result|trust|favou?rite|best|tried|"
    "tested|proven|top pick|course|guide|tool|book|app|software|method|resource|approach|program|"
    "programme|system|recipe|kit|plan|product");
// What a page or snippet cannot know or does not make happen: a consent banner, where a
// disclosure stands, what a seller charges, a registered copyright agent.
const QRegularExpression kPromises = anyOf(
    "banner|accept all|refuse all|reject all|near the top|before the first link|no extra cost|"
    "no cost to you|same price|nothing extra|not change the price|our designated agent");
// A sentence that says what the site does: it must rest on a fact.
const QRegularExpression kPractice(
    "\\b(we|our site|our pages|this site)\\s+(do not |did not |have not |never |also |only |"
    "always |then )?(use|uses|collect|collects|keep|keeps|store|stores|share|shares|shared|sell|"
    "sells|sold|send|sends|ask|asks|honour|honours|show|shows|track|tracks|test|tested|label|"
    "labels|remove|removes|edit|edits|rewrite|earn|earns|load|loads|refund|block|take part)\\b",
    QRegularExpression::CaseInsensitiveOption);
// "then" joins the opening to a closing that tells the reader what to do, so no comma is needed
// before it ("If you want to ... then see ..."), nothing like "then now" can come about, and the
// closing also stands on its own after a question.
const QRegularExpression kImperative(
    "^(See|Take|Find|Read|Have|Check|Follow|Learn|Visit|Get|Start|Weigh|Look|Click|Explore|"
    "Make|Go|Compare|Decide) ");

// Syllables by vowel groups, after a silent final "e", "ed" or "es"; close enough for a grade.
int syllables(const QString &word) {
    static const QRegularExpression silent(
        "(?<![^aeiouy]l)(?<=[^aeiouy])e$|(?<=[^aeiouytd])ed$|(?<=[^aeiouysxzcgh])es$");
    static const QRegularExpression consonants("[^aeiouy]+");
    int n = 0;
    for (QString part : word.toLower().split('-', Qt::SkipEmptyParts))
        n += std::max<int>(1, part.remove(silent).split(consonants, Qt::SkipEmptyParts).size());
    return n;
}

// Empty when the prose readers see (every <p> and <li>, or a text without tags) promises nothing
// of kPromises and reads at US grade 10 or below by Flesch-Kincaid, in sentences of 40 words or
// fewer; else what is wrong. A sentence ends at ".", "!" or "?" before a blank, or where its block
// ends.
QString readingProblem(const QString &text) {
    if (const auto promise = kPromises.match(text); promise.hasMatch())
        return "promises " + promise.captured(0);
    static const QRegularExpression block("<(p|li)>(.*?)</\\1>",
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag("<[^>]*>"), end("(?<=[.!?]|[.!?][\"')])\\s+");
    static const QRegularExpression wordRe("[A-Za-z0-9]+(['-][A-Za-z0-9]+)*");
    QStringList blocks;
    for (auto it = block.globalMatch(text); it.hasNext();)
        blocks << it.next().captured(2).remove(tag);
    if (!text.contains('<'))
        blocks << text;
    qsizetype sentences = 0, words = 0, syllableCount = 0;
    for (const QString &b : std::as_const(blocks)) {
        for (const QString &s : b.split(end, Qt::SkipEmptyParts)) {
            qsizetype inSentence = 0;
            for (auto it = wordRe.globalMatch(s); it.hasNext(); ++inSentence)
                syllableCount += syllables(it.next().captured(0));
            if (inSentence > 40)
                return QString::number(inSentence) + " words: " + s;
            sentences += inSentence > 0;
            words += inSentence;
        }
    }
    const double grade = 0.39 * words / std::max<qsizetype>(1, sentences) +
                         11.8 * syllableCount / std::max<qsizetype>(1, words) - 15.59;
    return grade > 10 ? "grade " + QString::number(grade, 'f', 1) : QString();
}

} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private slots:
    void pages_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("words"); // what the page must speak of
        const QHash<QString, QStringList> required{
            {"privacy-policy.txt",
             {"[operator.legal_name]", "[operator.address]", "[table processing]",
              "jointly responsible", "we sold or shared", "we have not sold or shared",
              "Global Privacy Control", "right to object", "complain to us first", "24 months",
              "If the site is sold"}},
            {"cookie-policy.txt", {"[table cookies]", "Cookie settings", "withdraw"}},
            {"your-privacy-choices.txt", {"[california.opt_out]", "Global Privacy Control"}},
            {"privacy-requests.txt", {"access", "correct", "delet", "identity", "appeal"}},
            {"terms-of-use.txt",
             {"limitation of liability", "death or personal injury", "fraud", "consumer"}},
            {"affiliate-disclosure.txt",
             {"commission", "As an Amazon Associate I earn from qualifying purchases."}},
            {"advertising-policy.txt", {"[list advertising]", "\"Advertisement\""}},
            {"editorial-policy.txt", {"test", "research", "correction"}},
            {"comment-guidelines.txt", {"report", "good faith", "which rule or law"}},
            {"disclaimer.txt", {"general information", "professional advice"}},
            {"earnings-disclaimer.txt", {"typical", "risk"}},
            {"medical-disclaimer.txt", {"not medical advice", "emergency"}},
            {"copyright-policy.txt",
             {"counter-notice", "repeat infringers", "misrepresent", "[copyright.agent_name]"}},
            {"email-policy.txt", {"unsubscribe", "[operator.address]"}},
            {"legal-notice.txt", {"[operator.register]", "[operator.vat]"}},
            {"use-of-artificial-intelligence.txt", {"[content.ai_reviewer]", "responsibility"}},
            {"refund-and-cancellation-policy.txt", {"14 days", "digital", "button"}},
            {"accessibility-statement.txt", {"screen reader"}}};
        QStringList files = txtFiles("/pages") + required.keys(); // a missing one fails
        files.removeDuplicates();
        for (const QString &f : std::as_const(files))
            QTest::newRow(qPrintable(f)) << f << required.value(f);
    }
    void pages() {
        QFETCH(QString, file);
        QFETCH(QStringList, words);
        QVERIFY(kCatalogueName.match(file).hasMatch());
        const QString content = readUtf8(kTemplates + "/pages/" + file);
        QVERIFY2(content.startsWith("[review]") && content.count("<h2>") >= 2,
                 "a page is UTF-8, opens with the review note and has sections");
        const QString seen = content.section("[/review]", 1);
        for (const QString &w : words)
            QVERIFY2(seen.contains(w, Qt::CaseInsensitive), qPrintable(w));
        const QString title = Catalogue::displayName(file);
        QCOMPARE(PageNames::fromDisplayName(title).fileName, file.chopped(4) + ".html");
    }

    // Every sentence that states what the site does sits inside a condition on the facts; the
    // conditions of a page that is written only where it applies cover all of it.
    void everyPracticeStandsOnAFact_data() {
        QTest::addColumn<QString>("file");
        for (const QString &f : txtFiles("/pages"))
            QTest::newRow(qPrintable(f)) << f;
    }
    void everyPracticeStandsOnAFact() {
        QFETCH(QString, file);
        static const QRegularExpression mark("\\[(if [^\\]]+|elif [^\\]]+|else|end)\\]");
        static const QRegularExpression tag("<[^>]*>"), end("(?<=[.!?:;])\\s+|\\n");
        const QString text = readUtf8(kTemplates + "/pages/" + file).section("[/review]", 1);
        int depth = 0;
        qsizetype at = 0;
        const auto check = [&](const QString &piece) {
            if (depth > 0)
                return QString();
            for (const QString &s :
                 QString(piece).replace(tag, "\n").split(end, Qt::SkipEmptyParts)) {
                if (kPractice.match(s).hasMatch())
                    return s.trimmed();
            }
            return QString();
        };
        for (auto it = mark.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            const QString bare = check(text.mid(at, m.capturedStart() - at));
            QVERIFY2(bare.isEmpty(), qPrintable("on no fact: " + bare));
            const QString kind = m.captured(1).section(' ', 0, 0);
            depth += kind == "if" ? 1 : kind == "end" ? -1 : 0;
            QVERIFY2(depth >= 0, "an [end] without its [if]");
            at = m.capturedEnd();
        }
        QCOMPARE(depth, 0);
        const QString bare = check(text.mid(at));
        QVERIFY2(bare.isEmpty(), qPrintable("on no fact: " + bare));
    }

    // Each page, rendered on three sites' facts: only the pages that apply are written, none
    // holds an open fact or a leftover mark, and all read as plainly as the rest.
    void pagesRenderOnFacts_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QStringList>("skipped"); // the pages that do not apply
        QTest::addColumn<QStringList>("says");    // "page: text" that must be there
        QTest::addColumn<QStringList>("never");   // "page: text" that must not
        QTest::newRow("hobby blog, no services")
            << "facts-hobby.toml"
            << QStringList{"accessibility-statement",
                           "advertising-policy",
                           "affiliate-disclosure",
                           "comment-guidelines",
                           "earnings-disclaimer",
                           "email-policy",
                           "medical-disclaimer",
                           "refund-and-cancellation-policy",
                           "use-of-artificial-intelligence",
                           "your-privacy-choices"}
            << QStringList{"privacy-policy: run by Tom Reyes in the United Kingdom. Our postal "
                           "address is 4 Elm Row",
                           "privacy-policy: load no services", "cookie-policy: load no services",
                           "privacy-policy: complain to us first"}
            << QStringList{"privacy-policy: California", "privacy-policy: <table>",
                           "cookie-policy: Cookie settings",
                           "terms-of-use: comment-guidelines.html"};
        QTest::newRow("ads, affiliate links, newsletter, comments")
            << "facts-typical.toml"
            << QStringList{"accessibility-statement", "earnings-disclaimer", "medical-disclaimer",
                           "refund-and-cancellation-policy"}
            << QStringList{"privacy-policy: In the last 12 months we sold or shared",
                           "privacy-policy: We honour it",
                           "privacy-policy: jointly responsible",
                           "privacy-policy: <td>Google AdSense</td>",
                           "cookie-policy: <td>__gads</td>",
                           "cookie-policy: Cookie settings",
                           "your-privacy-choices: https://herbcorner.example/opt-out.html",
                           "affiliate-disclosure: As an Amazon Associate",
                           "terms-of-use: <a href=\"comment-guidelines.html\">",
                           "terms-of-use: the law of the US state"}
            << QStringList{"privacy-policy: have not sold", "cookie-policy: Stripe",
                           "privacy-policy: does not yet respond"};
        QTest::newRow("digital products sold in the EU")
            << "facts-shop-eu.toml"
            << QStringList{"advertising-policy",  "affiliate-disclosure",
                           "comment-guidelines",  "email-policy",
                           "medical-disclaimer",  "use-of-artificial-intelligence",
                           "your-privacy-choices"}
            << QStringList{"legal-notice: DE123456789",
                           "refund-and-cancellation-policy: within 14 days",
                           "refund-and-cancellation-policy: the download or stream starts",
                           "terms-of-use: German law", "privacy-policy: <td>Stripe</td>"}
            << QStringList{"privacy-policy: California", "cookie-policy: Cookie settings",
                           "refund-and-cancellation-policy: Returning goods"};
    }
    void pagesRenderOnFacts() {
        QFETCH(QString, profile);
        QFETCH(QStringList, skipped);
        Facts facts;
        QString error;
        QVERIFY2(FactsFile::load(CW_SOURCE_DIR "/tests/data/" + profile, facts, &error),
                 qPrintable(error));
        QTemporaryDir site;
        QList<CatalogueEntry> all;
        QVERIFY(Catalogue::list(kTemplates + "/pages", all));
        PageGenerator generator(
            {kTemplates + "/pages",
             site.path(),
             all,
             {facts.text("site.name"), facts.text("site.url"), facts.text("site.email")},
             QDate(2026, 12, 6)});
        generator.useFacts(facts, false);
        generator.useCatalogue(ServiceCatalogue::load(kTemplates + "/services"));
        UserMessage refusal;
        QVERIFY2(generator.prepare(&refusal), qPrintable(refusal.text));
        generator.makeAll();
        QVERIFY(generator.failures().isEmpty());
        QStringList notWritten;
        for (const QString &page : generator.notApplicable())
            notWritten << page.chopped(5);
        QCOMPARE(notWritten, skipped);
        QHash<QString, QString> written;
        for (const QString &file : generator.written()) {
            const QString page = readUtf8(site.filePath(file));
            written.insert(file.chopped(5), page);
            const auto leftover = QRegularExpression("\\[[A-Za-z/]|#[A-Z]+#").match(page);
            QVERIFY2(!leftover.hasMatch(),
                     qPrintable(file + ": " + page.mid(leftover.capturedStart(), 40)));
            const QString problem = tagProblem(page), hard = readingProblem(page);
            QVERIFY2(problem.isEmpty(), qPrintable(file + ": " + problem));
            QVERIFY2(hard.isEmpty(), qPrintable(file + ": " + hard));
        }
        QFETCH(QStringList, says);
        for (const QString &s : says)
            QVERIFY2(written.value(s.section(": ", 0, 0)).contains(s.section(": ", 1)),
                     qPrintable(s));
        QFETCH(QStringList, never);
        for (const QString &s : never)
            QVERIFY2(!written.value(s.section(": ", 0, 0)).contains(s.section(": ", 1)),
                     qPrintable(s));
    }

    void pageLayoutIsSelfContained() {
        const QString layout = readUtf8(kTemplates + "/pages/html/template.html");
        QVERIFY(layout.startsWith("<!DOCTYPE html>"));
        for (const char *needed : {"<meta charset=\"utf-8\">", "name=\"viewport\"",
                                   "<title>#TITLE#</title>", "<h1>#TITLE#</h1>", "#CONTENT#"})
            QVERIFY2(layout.contains(needed), needed);
        for (const char *external :
             {"//", "<script", "@import", "<link", "url(", "<iframe", "<img"})
            QVERIFY2(!layout.contains(external, Qt::CaseInsensitive), external);
    }

    void snippetsArePlainText() {
        const QStringList files = txtFiles("/snippets");
        QVERIFY(files.size() >= 8);
        // Labels go where readers look first: at the top of the article.
        const QStringList top{"ad-label.txt",
                              "affiliate-disclosure.txt",
                              "amazon-associates.txt",
                              "artificial-intelligence-label.txt",
                              "free-product-disclosure.txt",
                              "gifted-label.txt",
                              "sponsored-content.txt"};
        for (const QString &f : files) {
            const SnippetMarks::Snippet snippet =
                SnippetMarks::parse(readUtf8(kTemplates + "/snippets/" + f));
            QCOMPARE(snippet.top, top.contains(f));
            const QString text = SnippetMarks::withSponsor(snippet.text, "Acme Tools");
            QVERIFY2(kCatalogueName.match(f).hasMatch() && text.size() > 40 &&
                         text == text.trimmed() && !text.contains(QRegularExpression("[\\[<#]")),
                     qPrintable(f));
            static const QRegularExpression label("^[A-Z][a-zA-Z-]+( [a-z]+){0,2}: [A-Z]");
            QVERIFY2(label.match(text).hasMatch(), qPrintable(f + " starts with no label"));
            const QString hard = readingProblem(text);
            QVERIFY2(hard.isEmpty(), qPrintable(f + ": " + hard));
        }
        QVERIFY(!readLines(kTemplates + "/claim-words.txt").isEmpty());
    }

    void recommendationsReadWell() {
        const QStringList ifs = readLines(kTemplates + "/if.txt");
        const QStringList questions = readLines(kTemplates + "/if-question.txt");
        const QStringList thens = readLines(kTemplates + "/then.txt");
        // An opening goes with any product, so it may not imply that the product works.
        static const QRegularExpression implies("struggl|failed|easier|simple|finally|at last");
        for (const QString &opening : ifs + questions)
            QVERIFY2(!opening.contains(implies), qPrintable(opening));
        for (const QStringList &lines : {ifs, questions, thens}) {
            QVERIFY(lines.size() >= 20);
            QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
        }
        for (const QString &t : thens) // lowered whole in the statement form
            QVERIFY2(t.endsWith(':') && t.contains("commission") &&
                         t.mid(1) == t.mid(1).toLower() && !t.contains(kClaims) &&
                         kImperative.match(t).hasMatch(),
                     qPrintable(t));
        const QString link = RecommendationBuilder::link("https://shop.example/?r=7", "The course");
        static const QRegularExpression disclosed("commission[^<.;]*:(<br>)? <a href=");
        static const QRegularExpression misjoined("  | [?,:;]|\\.\\.|\\?\\.|::");
        for (const QString &t : thens) {
            QStringList made;
            for (const QString &i : ifs)
                made << RecommendationBuilder::statementForm(i, "Make Money with Forex", t, link);
            for (const QString &q : questions)
                made << RecommendationBuilder::questionForm(q, "Learn Spanish", t, link);
            for (const QString &r : std::as_const(made))
                QVERIFY2(!r.contains(misjoined) && r.at(0).isUpper() &&
                             disclosed.match(r).hasMatch(),
                         qPrintable(r));
        }
    }

    void synonyms() {
        const QStringList lines = readLines(CW_SOURCE_DIR "/rwdb.txt");
        QVERIFY(lines.size() >= 2000);
        QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
        static const QRegularExpression entry("^[a-z]+([ '-][a-z]+)*(\\|[a-z]+([ '-][a-z]+)*)+$");
        for (const QString &l : lines)
            QVERIFY2(entry.match(l).hasMatch(), qPrintable(l));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
