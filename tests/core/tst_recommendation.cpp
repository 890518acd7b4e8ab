#include "bulk/RecommendationBuilder.h"
#include "controllib/QkTools.h"
#include "controllib/RandomSource.h"

#include <QSet>
#include <QTest>

namespace {

// Draws what a test asks for: RandomNumber(100) gives `number`; a shuffle either keeps every
// list as it is or swaps towards the front, which turns a two-entry list round.
class ScriptedRandom : public RandomSource {
public:
    ScriptedRandom(int number, bool turnRound) : m_number(number), m_turnRound(turnRound) {}
    quint32 below(quint32 bound) override {
        if (bound == 100)
            return quint32(m_number - 1);
        return m_turnRound ? 0 : bound - 1;
    }

private:
    int m_number;
    bool m_turnRound;
};

const PhraseLists kPhrases{{"If you want to"}, {"Do you want to"}, {"Take A Look Here:"}};
const QString kUrl = QStringLiteral("http://shop.example/p?id=1&ref=2");

QString question(const QString &linkText) {
    return "Do you want to Make Money?<br> <br>Take A Look Here: <a href=\"" + kUrl + "\">" +
           linkText + "</a><br><br>";
}

QString statement(const QString &linkText) {
    return "If you want to Make Money then take a look here:<br> <a href=\"" + kUrl + "\">" +
           linkText + "</a><br><br>";
}

RecommendationSettings settings(const QString &linkText, bool begins, bool ends, bool center1,
                                bool center2) {
    return {QStringLiteral("Make Money"), kUrl, linkText, begins, ends, center1, center2};
}

} // namespace

Q_DECLARE_METATYPE(RecommendationSettings)

class RecommendationTest : public QObject {
    Q_OBJECT

private slots:
    void placesTheRecommendation_data() {
        QTest::addColumn<RecommendationSettings>("options");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("turnRound");
        QTest::addColumn<QString>("expected");
        const QString body = QStringLiteral("Body\r\nline two");
        const QString gap = QStringLiteral("\r\n\r\n");

        QTest::newRow("before only, question form at a drawn 50")
            << settings("Robot", true, false, false, false) << 50 << false
            << question("Robot") + gap + body;
        QTest::newRow("after only, statement form at 51 lowers the closing")
            << settings("Robot", false, true, false, false) << 51 << false
            << body + gap + statement("Robot");
        QTest::newRow("question form at 1") << settings("Robot", false, true, false, false) << 1
                                            << false << body + gap + question("Robot");
        QTest::newRow("statement form at 100") << settings("Robot", true, false, false, false)
                                               << 100 << false << statement("Robot") + gap + body;
        QTest::newRow("both places, the same recommendation twice")
            << settings("Robot", true, true, false, false) << 51 << false
            << statement("Robot") + gap + body + gap + statement("Robot");
        QTest::newRow("both places, only the first centred")
            << settings("Robot", true, true, true, false) << 20 << false
            << "<center>" + question("Robot") + "</center>" + gap + body + gap + question("Robot");
        QTest::newRow("both places, only the second centred")
            << settings("Robot", true, true, false, true) << 20 << false
            << question("Robot") + gap + body + gap + "<center>" + question("Robot") + "</center>";
        QTest::newRow("both places, both centred")
            << settings("Robot", true, true, true, true) << 80 << false
            << "<center>" + statement("Robot") + "</center>" + gap + body + gap + "<center>" +
                   statement("Robot") + "</center>";
        QTest::newRow("comma and blank split like a comma: first text")
            << settings("Awesome Robot, Other Robot", false, true, false, false) << 50 << false
            << body + gap + question("Awesome Robot");
        QTest::newRow("comma and blank split like a comma: second text")
            << settings("Awesome Robot, Other Robot", false, true, false, false) << 50 << true
            << body + gap + question("Other Robot");
        QTest::newRow("only one blank after a comma is dropped")
            << settings("A,  B", false, true, false, false) << 50 << true
            << body + gap + question(" B");
    }

    void placesTheRecommendation() {
        QFETCH(RecommendationSettings, options);
        QFETCH(int, number);
        QFETCH(bool, turnRound);
        QFETCH(QString, expected);
        ScriptedRandom random(number, turnRound);
        QkTools tools(random);
        RecommendationBuilder builder(kPhrases, options, tools);
        QCOMPARE(builder.apply(QStringLiteral("Body\r\nline two")), expected);
    }

    void normalisesLinkTexts_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("comma and blank") << "Awesome Trading Robot, Recommended Trading Robot"
                                         << "Awesome Trading Robot,Recommended Trading Robot";
        QTest::newRow("two blanks keep one") << "A,  B"
                                             << "A, B";
        QTest::newRow("blank before a comma stays") << "A ,B"
                                                    << "A ,B";
        QTest::newRow("single text unchanged") << "Robot"
                                               << "Robot";
        QTest::newRow("a lone blank stays") << " "
                                            << " ";
    }

    void normalisesLinkTexts() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(RecommendationBuilder::normaliseLinkText(typed), kept);
    }

    void eachArticleGetsPicksOfItsOwn() {
        SeededRandom random(2024);
        QkTools tools(random);
        const PhraseLists phrases{{"If A", "If B", "If C"}, {"Q A", "Q B"}, {"T A", "T B"}};
        RecommendationBuilder builder(
            phrases, settings("One, Two, Three", false, true, false, false), tools);
        QSet<QString> linkTexts;
        QSet<QString> openings;
        int questions = 0;
        const int articles = 400;
        for (int i = 0; i < articles; ++i) {
            const QString r = builder.compose();
            const qsizetype start = r.indexOf(QLatin1Char('>'), r.indexOf("<a href")) + 1;
            linkTexts.insert(r.mid(start, r.indexOf("</a>") - start));
            openings.insert(r.section(QLatin1Char(' '), 0, 1));
            if (r.contains("?<br> <br>"))
                ++questions;
        }
        QCOMPARE(linkTexts, (QSet<QString>{"One", "Two", "Three"}));
        QCOMPARE(openings, (QSet<QString>{"If A", "If B", "If C", "Q A", "Q B"}));
        // The two forms come up about equally often.
        QVERIFY2(questions > articles * 2 / 5 && questions < articles * 3 / 5,
                 qPrintable(QString::number(questions)));
    }
};

QTEST_APPLESS_MAIN(RecommendationTest)
#include "tst_recommendation.moc"
