#include "bulk/SynonymPreload.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Step = SynonymPreload::Step;

class SynonymPreloadTest : public QObject {
    Q_OBJECT

private slots:
    void sequenceEndsWhenTheCountStands_data() {
        QTest::addColumn<QByteArray>("file"); // "<missing>": no file at all
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("one line ends on the second tick")
            << QByteArray("big|large\r\n") << QList<Step>{Step::Started, Step::Finished}
            << QStringList{"1", "1"};
        QTest::newRow("missing file ends on the third tick")
            << QByteArray("<missing>") << QList<Step>{Step::Started, Step::Waiting, Step::Finished}
            << QStringList{"1", "0", "0"};
        QTest::newRow("empty file ends on the third tick")
            << QByteArray("") << QList<Step>{Step::Started, Step::Waiting, Step::Finished}
            << QStringList{"1", "0", "0"};
        QTest::newRow("three lines: the first comparison is against 1")
            << QByteArray("a\nb\nc\n") << QList<Step>{Step::Started, Step::Waiting, Step::Finished}
            << QStringList{"1", "3", "3"};
    }

    void sequenceEndsWhenTheCountStands() {
        QFETCH(QByteArray, file);
        QFETCH(QList<Step>, steps);
        QFETCH(QStringList, tags);
        QTemporaryDir dir;
        const QString path = dir.filePath("rwdb.txt");
        if (file != "<missing>") {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        SynonymPreload preload(path);
        QCOMPARE(preload.tag(), QString());
        for (int i = 0; i < steps.size(); ++i) {
            QCOMPARE(preload.Timer1_Timer(), steps[i]);
            QCOMPARE(preload.tag(), tags[i]);
        }
    }

    void listHoldsAtMost32767Lines() {
        QTemporaryDir dir;
        const QString path = dir.filePath("rwdb.txt");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(QByteArray("w\n").repeated(40000));
        out.close();
        SynonymPreload preload(path);
        QCOMPARE(preload.Timer1_Timer(), Step::Started);
        QCOMPARE(preload.lstReglas().size(), 32767);
        QCOMPARE(preload.Timer1_Timer(), Step::Waiting);
        QCOMPARE(preload.tag(), QString("32767"));
        QCOMPARE(preload.Timer1_Timer(), Step::Finished);
    }
};

QTEST_APPLESS_MAIN(SynonymPreloadTest)
#include "tst_synonympreload.moc"
