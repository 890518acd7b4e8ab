#include "controllib/QkFile.h"
#include "controllib/QkParser.h"
#include "controllib/QkTools.h"
#include "controllib/RandomSource.h"
#include "controllib/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString put(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

QByteArray bytesOf(const QString &path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class ControlLibraryTest : public QObject {
    Q_OBJECT

private slots:
    void listFromFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("LF") << QByteArray("a\nb") << QStringList{"a", "b"};
        QTest::newRow("CR LF, final break makes no empty entry")
            << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("blank line inside kept")
            << QByteArray("a\n\nb\n") << QStringList{"a", "", "b"};
        QTest::newRow("empty file adds nothing") << QByteArray() << QStringList{};
        QTest::newRow("BOM dropped") << QByteArray("\xEF\xBB\xBFone") << QStringList{"one"};
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9\n\x80 5")
                                      << QStringList{QStringLiteral("café"), QStringLiteral("€ 5")};
    }
    void listFromFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        QStringList list{"kept"};
        QVERIFY(QkFile::LoadListFromFile(list, put(dir, "list.txt", bytes)));
        QCOMPARE(list, QStringList{"kept"} + expected);
    }

    void failuresAreReportedAndChangeNothing() {
        QTemporaryDir dir;
        QString text = "before", error;
        QStringList list{"x"};
        QVERIFY(!QkFile::LoadTextFromFile(text, dir.filePath("missing.txt"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QkFile::LoadListFromFile(list, dir.filePath("missing.txt")));
        QVERIFY(!QkFile::LoadTextFromFile(text, dir.path())); // a folder is no file
        QCOMPARE(text, QString("before"));
        QCOMPARE(list, QStringList{"x"});
        // A folder where the file should go, and a missing folder: nothing written anywhere.
        QVERIFY(QDir(dir.path()).mkdir("taken.txt"));
        QVERIFY(!QkFile::SaveTextToFile("x", dir.filePath("taken.txt"), &error));
        QVERIFY(!QkFile::SaveTextToFile("x", dir.filePath("no/such/a.txt"), &error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"taken.txt"});
    }

    void encodingsRoundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<bool>("bom");
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every.append(char(b));
        QTest::newRow("every byte of Windows-1252")
            << every << int(TextEncoding::Windows1252) << false;
        QTest::newRow("UTF-8 with NUL bytes")
            << QByteArray("a\0b\0\xE2\x9C\x93", 7) << int(TextEncoding::Utf8) << false;
        QTest::newRow("UTF-8 BOM remembered")
            << QByteArray("\xEF\xBB\xBFh\xC3\xA9") << int(TextEncoding::Utf8) << true;
        QTest::newRow("half a sequence is Windows-1252")
            << QByteArray("caf\xC3") << int(TextEncoding::Windows1252) << false;
        QTest::newRow("BOM then invalid bytes is all Windows-1252")
            << QByteArray("\xEF\xBB\xBF\xFF") << int(TextEncoding::Windows1252) << false;
    }
    void encodingsRoundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(bool, bom);
        const DecodedText decoded = TextCodec::decode(bytes);
        QCOMPARE(int(decoded.encoding), encoding);
        QCOMPARE(decoded.byteOrderMark, bom);
        QCOMPARE(TextCodec::encode(decoded.text, decoded.encoding, decoded.byteOrderMark), bytes);
    }

    void savesExactBytesOverAnOldFile() {
        QCOMPARE(TextCodec::encode(QStringLiteral("é ✓ \U0001F600 €"), TextEncoding::Windows1252),
                 QByteArray("\xE9 &#10003; &#128512; \x80"));
        QTemporaryDir dir;
        const QString path = put(dir, "out.txt", "old content that is longer");
        QVERIFY(QkFile::SaveTextToFile(QStringLiteral("new\r\nté"), path));
        QCOMPARE(bytesOf(path), QByteArray("new\r\nt\xC3\xA9"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.txt"});
    }

    void replaceText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter case counts") << "Txt.txt"
                                            << ".txt"
                                            << ""
                                            << "Txt";
        QTest::newRow("result not re-read") << "aaa"
                                            << "a"
                                            << "aa"
                                            << "aaaaaa";
        QTest::newRow("empty find leaves text") << "abc"
                                                << ""
                                                << "x"
                                                << "abc";
        QTest::newRow("only comma-blank") << "A, B,C ,  D"
                                          << ", "
                                          << ","
                                          << "A,B,C , D";
    }
    void replaceText() {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QCOMPARE(QkParser::ReplaceText(text, find, replacement, 0), expected);
    }

    void splitToListKeepsEveryPiece() {
        QStringList list{"first"};
        QkTools::SplitToList(" a ,,b,", ",", list, QString());
        QkTools::SplitToList("", ",", list, QString());
        QCOMPARE(list, (QStringList{"first", " a ", "", "b", "", ""}));
    }

    void randomChoicesAreUniform() {
        SeededRandom random(7);
        QkTools tools(random);
        QList<int> counts(101, 0);
        for (int i = 0; i < 100000; ++i)
            ++counts[tools.RandomNumber(100)]; // out of 1..100 would be caught below or crash
        QCOMPARE(counts[0], 0);
        for (int n = 1; n <= 100; ++n)
            QVERIFY2(counts[n] > 800 && counts[n] < 1200, qPrintable(QString::number(n)));

        QList<int> picks(3, 0);
        for (int i = 0; i < 30000; ++i)
            ++picks[tools.PickIndex(3)];       // out of 0..2 would crash here
        for (int count : std::as_const(picks)) // every entry, each about as often
            QVERIFY(count > 9000 && count < 11000);
        QCOMPARE(tools.PickIndex(0), 0);
    }
};

QTEST_GUILESS_MAIN(ControlLibraryTest)
#include "tst_controllib.moc"
