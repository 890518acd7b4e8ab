// The shipped catalogue, read from the source tree exactly as it is installed beside the program.
#include "app/Catalogue.h"
#include "bulk/RecommendationBuilder.h"
#include "legalpages/PageFormat.h"
#include "legalpages/PageNames.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

namespace {

const QString kTemplates = QStringLiteral(CW_SOURCE_DIR "/templates");

// The text of a shipped file; a file that is not plain UTF-8 (or starts with a BOM) is empty.
QString readUtf8(const QString &path) {
    QFile f(path);
    const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    return decode.hasError() || bytes.startsWith("\xEF\xBB\xBF") ? QString() : text;
}

QStringList readLines(const QString &path) {
    return readUtf8(path).remove('\r').split('\n', Qt::SkipEmptyParts);
}

QStringList txtFiles(const QString &dir) {
    return QDir(dir).entryList({"*.txt"}, QDir::Files, QDir::Name);
}

// Empty when every tag is closed in order and every "&" starts an entity; otherwise what is wrong.
QString tagProblem(QString html) {
    static const QRegularExpression comment("<!--.*?-->",
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(
        "<(/?)([a-zA-Z][a-zA-Z0-9]*)\\b[^<>]*?(/?)>|<!DOCTYPE html>|<");
    static const QRegularExpression amp("&(?![a-zA-Z]+;|#[0-9]+;|#x[0-9a-fA-F]+;)");
    static const QStringList voids = {"meta", "br", "img", "hr", "link", "input", "wbr"};
    html.remove(comment);
    if (html.contains(amp))
        return "bare & at " + QString::number(html.indexOf(amp));
    QStringList open;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QString name = m.captured(2).toLower();
        if (m.captured(0) == "<")
            return "stray < at " + QString::number(m.capturedStart());
        if (name.isEmpty() || voids.contains(name))
            continue;
        if (m.captured(1).isEmpty())
            open << name;
        else if (open.isEmpty() || open.takeLast() != name)
            return "unexpected </" + name + "> at " + QString::number(m.capturedStart());
    }
    return open.isEmpty() ? QString() : "unclosed <" + open.join("> <") + ">";
}

const QRegularExpression kCatalogueName("^[a-z]+(-[a-z]+)*\\.txt$");

} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private slots:
    void pages_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("words"); // what the page must speak of
        const QHash<QString, QStringList> required{
            {"privacy-policy.txt",
             {"GDPR", "CCPA", "Do Not Track", "children", "cookies", "retention", "delet",
              "opt out", "international", "server log", "newsletter"}},
            {"terms-of-use.txt", {"intellectual property", "limitation of liability"}},
            {"affiliate-disclosure.txt", {"commission", "no extra cost", "sponsored", "free"}},
            {"disclaimer.txt", {"general information", "professional advice"}},
            {"earnings-disclaimer.txt", {"not typical", "risk"}},
            {"cookie-policy.txt", {"third-party", "browser", "advertising", "affiliate"}},
            {"dmca-policy.txt", {"counter-notice", "repeat infringers", "misrepresent"}},
            {"advertising-policy.txt", {"sponsored", "advertis"}},
            {"anti-spam-policy.txt", {"subscribe", "unsubscribe", "spam"}},
            {"medical-disclaimer.txt", {"not medical advice", "emergency"}}};
        const QStringList files = txtFiles(kTemplates + "/pages");
        for (auto it = required.begin(); it != required.end(); ++it)
            QVERIFY2(files.contains(it.key()), qPrintable(it.key()));
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << f << required.value(f);
    }
    void pages() {
        QFETCH(QString, file);
        QFETCH(QStringList, words);
        QVERIFY(kCatalogueName.match(file).hasMatch());
        const QString content = readUtf8(kTemplates + "/pages/" + file);
        QVERIFY2(content.count("<h2>") >= 2, "a page has sections and is UTF-8");
        for (const QString &w : words)
            QVERIFY2(content.contains(w, Qt::CaseInsensitive), qPrintable(w));

        const QString title = Catalogue::displayName(file);
        QCOMPARE(PageNames::fromDisplayName(title).fileName, file.chopped(4) + ".html");
        const QString page = PageFormat::compose(
            readUtf8(kTemplates + "/pages/html/template.html"), title, content,
            {"Quiet Orchard Notes", "https://quiet-orchard.example", "hi@quiet-orchard.example"},
            QDate(2026, 12, 6));
        const QString problem = tagProblem(page);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const auto leftover = QRegularExpression("\\[[a-z]+\\]|#[A-Z]+#").match(page);
        QVERIFY2(!leftover.hasMatch(), qPrintable(leftover.captured(0)));
        QCOMPARE(QRegularExpression("<title>(.*?)</title>").match(page).captured(1), title);
        QVERIFY(page.contains("December 6, 2026") && page.contains("hi@quiet-orchard.example"));
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
        const QStringList files = txtFiles(kTemplates + "/snippets");
        QVERIFY(files.size() >= 8);
        for (const QString &f : files) {
            const QString text = readUtf8(kTemplates + "/snippets/" + f);
            QVERIFY2(kCatalogueName.match(f).hasMatch() && text.size() > 40 &&
                         text == text.trimmed() && !text.contains(QRegularExpression("[\\[<#]")),
                     qPrintable(f));
        }
    }

    void recommendationsReadWell() {
        const QStringList ifs = readLines(kTemplates + "/if.txt");
        const QStringList questions = readLines(kTemplates + "/if-question.txt");
        const QStringList thens = readLines(kTemplates + "/then.txt");
        for (const QStringList &lines : {ifs, questions, thens}) {
            QVERIFY(lines.size() >= 20);
            QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
        }
        for (const QString &t : thens) // lowered whole in the statement form
            QVERIFY2(t.endsWith(':') && t.contains("commission") && t.mid(1) == t.mid(1).toLower(),
                     qPrintable(t));
        const QString link = RecommendationBuilder::link("https://shop.example/?r=7", "The course");
        static const QRegularExpression disclosed("commission[^<.;]*:(<br>)? <a href=");
        for (const QString benefit : {"Make Money with Forex", "Learn Spanish Fast"}) {
            for (const QString &t : thens) {
                QStringList made;
                for (const QString &i : ifs)
                    made << RecommendationBuilder::statementForm(i, benefit, t, link);
                for (const QString &q : questions)
                    made << RecommendationBuilder::questionForm(q, benefit, t, link);
                for (const QString &r : std::as_const(made)) {
                    QVERIFY2(!r.contains(QRegularExpression("  | [?,:;]|\\.\\.|\\?\\.|::")) &&
                                 r.at(0).isUpper() && disclosed.match(r).hasMatch(),
                             qPrintable(r));
                }
            }
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
