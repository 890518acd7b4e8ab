// The shipped catalogue: page templates, the page layout, snippets, recommendation sentences and
// the synonym list, read from the source tree exactly as they are installed beside the program.
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

const QString kRoot = QStringLiteral(CW_SOURCE_DIR);
const QString kTemplates = kRoot + "/templates";

// Reads a catalogue file; any byte that is not valid UTF-8 fails the calling test.
QString readUtf8(const QString &path, bool *ok = nullptr) {
    QFile f(path);
    const bool opened = f.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? f.readAll() : QByteArray();
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    if (ok)
        *ok = opened && !decode.hasError() && !bytes.startsWith("\xEF\xBB\xBF");
    return text;
}

// One entry a line, LF or CR LF, a final line break allowed.
QStringList readLines(const QString &path) {
    QStringList lines = readUtf8(path).split('\n');
    for (QString &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList txtFiles(const QString &dir) {
    return QDir(dir).entryList({"*.txt"}, QDir::Files, QDir::Name);
}

// The page as the program makes it.
QString fillPage(const QString &layout, const QString &title, const QString &content) {
    const SiteFacts site{"Quiet Orchard Notes", "https://quiet-orchard.example",
                         "hello@quiet-orchard.example"};
    return PageFormat::compose(layout, title, content, site, QDate(2026, 12, 6));
}

// Empty when every tag is closed in order and every "&" starts an entity; otherwise what is wrong.
QString tagProblem(QString html) {
    static const QRegularExpression comment("<!--.*?-->",
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(
        "<(/?)([a-zA-Z][a-zA-Z0-9]*)\\b[^<>]*?(/?)>|<!DOCTYPE html>|<");
    static const QRegularExpression amp("&(?![a-zA-Z]+;|#[0-9]+;|#x[0-9a-fA-F]+;)");
    static const QStringList voids = {"meta", "br", "img", "hr", "link", "input", "source", "wbr"};
    html.remove(comment);
    if (html.contains(amp))
        return "bare & at " + QString::number(html.indexOf(amp));
    QStringList open;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == "<")
            return "stray < at " + QString::number(m.capturedStart());
        const QString name = m.captured(2).toLower();
        if (name.isEmpty() || voids.contains(name))
            continue;
        if (m.captured(1).isEmpty()) {
            open << name;
        } else if (open.isEmpty() || open.takeLast() != name) {
            return "unexpected </" + name + "> at " + QString::number(m.capturedStart());
        }
    }
    return open.isEmpty() ? QString() : "unclosed <" + open.join("> <") + ">";
}

} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private slots:
    void pages_data() {
        QTest::addColumn<QString>("file");
        for (const QString &f : txtFiles(kTemplates + "/pages"))
            QTest::newRow(qPrintable(f)) << f;
    }
    void pages() {
        QFETCH(QString, file);
        QVERIFY2(QRegularExpression("^[a-z]+(-[a-z]+)*\\.txt$").match(file).hasMatch(),
                 "page names are lower-case words joined by -");
        bool utf8 = false;
        const QString content = readUtf8(kTemplates + "/pages/" + file, &utf8);
        QVERIFY(utf8);
        for (const char *banned : {"#TITLE#", "#CONTENT#", "<h1", "<html", "<body", "<head"})
            QVERIFY2(!content.contains(banned, Qt::CaseInsensitive), banned);
        QVERIFY2(content.count("<h2>") >= 2, "at least two sections");

        // The page file the program writes for it keeps the catalogue file's name.
        QCOMPARE(PageNames::fromDisplayName(Catalogue::displayName(file)).fileName,
                 file.chopped(4) + ".html");
        const QString page = fillPage(readUtf8(kTemplates + "/pages/html/template.html"),
                                      Catalogue::displayName(file), content);
        const QString problem = tagProblem(page);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const auto leftover = QRegularExpression("\\[[a-z]+\\]|#[A-Z]+#").match(page);
        QVERIFY2(!leftover.hasMatch(), qPrintable(leftover.captured(0)));
        QCOMPARE(QRegularExpression("<title>(.*?)</title>").match(page).captured(1),
                 Catalogue::displayName(file));
        QVERIFY(page.contains("December 6, 2026") && page.contains("hello@quiet-orchard.example"));
    }

    void requiredPages_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("privacy") << "privacy-policy.txt"
                                 << QStringList{"GDPR",       "CCPA",      "Do Not Track",
                                                "children",   "cookies",   "retention",
                                                "delet",      "opt out",   "international",
                                                "server log", "newsletter"};
        QTest::newRow("terms") << "terms-of-use.txt"
                               << QStringList{"accept", "intellectual property",   "content you",
                                              "links",  "limitation of liability", "governing law"};
        QTest::newRow("affiliate") << "affiliate-disclosure.txt"
                                   << QStringList{"affiliate link", "commission", "no extra cost",
                                                  "free",           "sponsored",  "how we choose"};
        QTest::newRow("disclaimer")
            << "disclaimer.txt" << QStringList{"general information", "professional advice"};
        QTest::newRow("earnings") << "earnings-disclaimer.txt"
                                  << QStringList{"not typical", "risk", "no promise"};
        QTest::newRow("cookies") << "cookie-policy.txt"
                                 << QStringList{"what cookies are", "third-party", "browser",
                                                "advertising", "affiliate"};
        QTest::newRow("dmca") << "dmca-policy.txt"
                              << QStringList{"notice", "counter-notice", "repeat infringers",
                                             "misrepresent", "penalty of perjury"};
        QTest::newRow("advertising")
            << "advertising-policy.txt" << QStringList{"sponsored", "labelled", "advertis"};
        QTest::newRow("anti-spam")
            << "anti-spam-policy.txt" << QStringList{"subscribe", "unsubscribe", "spam", "opt-in"};
        QTest::newRow("medical") << "medical-disclaimer.txt"
                                 << QStringList{"not medical advice", "doctor", "emergency"};
    }
    void requiredPages() {
        QFETCH(QString, file);
        QFETCH(QStringList, words);
        const QString path = kTemplates + "/pages/" + file;
        QVERIFY2(QFile::exists(path), qPrintable(path));
        const QString text = readUtf8(path);
        for (const QString &w : words)
            QVERIFY2(text.contains(w, Qt::CaseInsensitive), qPrintable(file + ": " + w));
        for (const char *field : {"[sitename]", "[email]", "[date]"})
            QVERIFY2(text.contains(field), field);
    }

    void pageLayoutIsSelfContained() {
        bool utf8 = false;
        const QString layout = readUtf8(kTemplates + "/pages/html/template.html", &utf8);
        QVERIFY(utf8);
        QVERIFY(layout.startsWith("<!DOCTYPE html>"));
        QVERIFY(layout.contains("<meta charset=\"utf-8\">"));
        QVERIFY(layout.contains("name=\"viewport\""));
        QVERIFY(layout.contains("<title>#TITLE#</title>") && layout.contains("<h1>#TITLE#</h1>"));
        QCOMPARE(layout.count("#CONTENT#"), 1);
        for (const char *external : {"http://", "https://", "//", "<script", "@import", "<link",
                                     "url(", "<iframe", "<img"})
            QVERIFY2(!layout.contains(external, Qt::CaseInsensitive), external);
    }

    void snippets() {
        const QStringList files = txtFiles(kTemplates + "/snippets");
        QVERIFY2(files.size() >= 8, qPrintable(files.join(' ')));
        for (const QString &f : files) {
            QVERIFY2(QRegularExpression("^[a-z]+(-[a-z]+)*\\.txt$").match(f).hasMatch(),
                     qPrintable(f));
            bool utf8 = false;
            const QString text = readUtf8(kTemplates + "/snippets/" + f, &utf8);
            QVERIFY2(utf8, qPrintable(f));
            QVERIFY2(text.trimmed().size() > 40 && text == text.trimmed(), qPrintable(f));
            QVERIFY2(!text.contains('[') && !text.contains('<') && !text.contains('#'),
                     qPrintable(f));
        }
    }

    void sentenceLines_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("endsOpen"); // continued by the benefit, so no closing punctuation
        QTest::newRow("if") << "if.txt" << true;
        QTest::newRow("if-question") << "if-question.txt" << true;
        QTest::newRow("then") << "then.txt" << false;
    }
    void sentenceLines() {
        QFETCH(QString, file);
        QFETCH(bool, endsOpen);
        const QStringList lines = readLines(kTemplates + "/" + file);
        QVERIFY2(lines.size() >= 20, qPrintable(QString::number(lines.size())));
        QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
        for (const QString &l : lines) {
            QVERIFY2(!l.isEmpty() && l == l.trimmed() && !l.contains("  "), qPrintable(l));
            QVERIFY2(l.at(0).isUpper(), qPrintable(l));
            QVERIFY2(!endsOpen || l.back().isLetter(), qPrintable(l));
        }
    }

    void recommendations() {
        const QStringList ifs = readLines(kTemplates + "/if.txt");
        const QStringList questions = readLines(kTemplates + "/if-question.txt");
        const QStringList thens = readLines(kTemplates + "/then.txt");
        const QString link =
            RecommendationBuilder::link("https://shop.example/?ref=7", "See the course");
        for (const QString &t : thens) {
            QVERIFY2(t.endsWith(':') && t.contains("commission"), qPrintable(t));
            // Lowered whole in the statement form, so only its first letter may be a capital.
            QVERIFY2(t.mid(1) == t.mid(1).toLower(), qPrintable(t));
        }
        static const QRegularExpression disclosed("commission[^<.;]*:(<br>)? <a href=");
        QStringList made;
        for (const QString &benefit : QStringList{"Make Money with Forex", "Learn Spanish Fast"}) {
            for (const QString &t : thens) {
                for (const QString &i : ifs)
                    made << RecommendationBuilder::statementForm(i, benefit, t, link);
                for (const QString &q : questions)
                    made << RecommendationBuilder::questionForm(q, benefit, t, link);
            }
        }
        QCOMPARE(made.size(), 2 * thens.size() * (ifs.size() + questions.size()));
        for (const QString &r : made) {
            for (const char *flaw : {"  ", " ?", " ,", " :", " ;", "..", "?.", "::"})
                QVERIFY2(!r.contains(flaw), qPrintable(r));
            // The words right before the link say that it earns the site money.
            QVERIFY2(disclosed.match(r).hasMatch(), qPrintable(r));
        }
    }

    void synonyms() {
        const QStringList lines = readLines(kRoot + "/rwdb.txt");
        QVERIFY2(lines.size() >= 2000, qPrintable(QString::number(lines.size())));
        QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
        static const QRegularExpression item("^[a-z]+([ '-][a-z]+)*$");
        for (const QString &l : lines) {
            const QStringList words = l.split('|');
            QVERIFY2(words.size() >= 2, qPrintable(l));
            QCOMPARE(QSet<QString>(words.begin(), words.end()).size(), words.size());
            for (const QString &w : words)
                QVERIFY2(item.match(w).hasMatch(), qPrintable(l + " -> '" + w + "'"));
        }
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
