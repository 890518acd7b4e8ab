#include "app/TitleCase.h"

#include <QTest>

class TitleCaseTest : public QObject {
    Q_OBJECT

private slots:
    void cases_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("capitals are lowered") << "TERMS OF USE"
                                              << "Terms Of Use";
        QTest::newRow("double blank kept") << "terms  of use"
                                           << "Terms  Of Use";
        QTest::newRow("hyphen starts a word") << "e-mail policy"
                                              << "E-Mail Policy";
        QTest::newRow("apostrophe starts a word") << "don't"
                                                  << "Don'T";
        QTest::newRow("digit starts a word") << "2nd notice"
                                             << "2Nd Notice";
        QTest::newRow("full stop starts a word") << "privacy.policy"
                                                 << "Privacy.Policy";
        QTest::newRow("underscore starts a word") << "cookies_policy"
                                                  << "Cookies_Policy";
        QTest::newRow("accented letters lowered, never raised")
            << QStringLiteral("ÉTÉ") << QStringLiteral("éTé");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blanks only") << "   "
                                     << "   ";
        QTest::newRow("leading blanks") << "  ftc disclosure"
                                        << "  Ftc Disclosure";
    }
    void cases() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const QString result = TitleCase(input);
        QCOMPARE(result, expected);
        QCOMPARE(result.size(), input.size());
    }
};

QTEST_GUILESS_MAIN(TitleCaseTest)
#include "tst_titlecase.moc"
