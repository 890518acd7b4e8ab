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

QString writeBytes(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QByteArray readBytes(const QString &path) {
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
        QTest::newRow("LF lines") << QByteArray("a\nb\nc") << QStringList{"a", "b", "c"};
        QTest::newRow("CR LF lines") << QByteArray("a\r\nb\r\nc") << QStringList{"a", "b", "c"};
        QTest::newRow("final line break makes no empty entry")
            << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("blank line inside is kept")
            << QByteArray("a\n\nb\n") << QStringList{"a", "", "b"};
        QTest::newRow("empty file adds nothing") << QByteArray() << QStringList{};
        QTest::newRow("lone line break is one empty entry") << QByteArray("\n") << QStringList{""};
        QTest::newRow("BOM dropped")
            << QByteArray("\xEF\xBB\xBFone\ntwo") << QStringList{"one", "two"};
        QTest::newRow("Windows-1252 decoded")
            << QByteArray("caf\xE9\n\x80 5")
            << QStringList{QStringLiteral("café"), QStringLiteral("€ 5")};
    }
    void listFromFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        QStringList list{"kept"};
        QVERIFY(QkFile::LoadListFromFile(list, writeBytes(dir, "list.txt", bytes)));
        QCOMPARE(list, QStringList{"kept"} + expected);
    }

    void missingFileIsReportedAndLeavesTargetAlone() {
        QTemporaryDir dir;
        const QString path = dir.filePath("nothing-here.txt");
        QString text = "before";
        QString error;
        QVERIFY(!QkFile::LoadTextFromFile(text, path, &error));
        QCOMPARE(text, QString("before"));
        QVERIFY(!error.isEmpty());
        QStringList list{"x"};
        QVERIFY(!QkFile::LoadListFromFile(list, path));
        QCOMPARE(list, QStringList{"x"});
        QVERIFY(!QkFile::LoadTextFromFile(text, dir.path(), &error)); // a folder is no file
    }

    void textEncodingsRoundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<bool>("bom");
        QByteArray every1252;
        for (int b = 0; b < 256; ++b)
            every1252.append(char(b));
        QTest::newRow("every byte of Windows-1252")
            << every1252 << int(TextEncoding::Windows1252) << false;
        QTest::newRow("UTF-8 with NUL bytes")
            << QByteArray("a\0b\0\xE2\x9C\x93", 7) << int(TextEncoding::Utf8) << false;
        QTest::newRow("UTF-8 BOM stays first")
            << QByteArray("\xEF\xBB\xBFhello \xC3\xA9") << int(TextEncoding::Utf8) << true;
        QTest::newRow("half a UTF-8 sequence falls back to Windows-1252")
            << QByteArray("caf\xC3") << int(TextEncoding::Windows1252) << false;
        QTest::newRow("BOM then invalid bytes is all Windows-1252")
            << QByteArray("\xEF\xBB\xBF\xFF") << int(TextEncoding::Windows1252) << false;
        QTest::newRow("empty") << QByteArray() << int(TextEncoding::Utf8) << false;
    }
    void textEncodingsRoundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(bool, bom);
        const DecodedText decoded = TextCodec::decode(bytes);
        QCOMPARE(int(decoded.encoding), encoding);
        QCOMPARE(decoded.byteOrderMark, bom);
        QCOMPARE(TextCodec::encode(decoded.text, decoded.encoding, decoded.byteOrderMark), bytes);
    }

    void windows1252WritesMissingCharactersAsReferences() {
        const QString text = QStringLiteral("é ✓ \U0001F600 €");
        QCOMPARE(TextCodec::encode(text, TextEncoding::Windows1252),
                 QByteArray("\xE9 &#10003; &#128512; \x80"));
    }

    void saveIsAtomicAndExact() {
        QTemporaryDir dir;
        const QString path = writeBytes(dir, "out.txt", "old content that is longer");
        QVERIFY(QkFile::SaveTextToFile(QStringLiteral("new\r\nté"), path));
        QCOMPARE(readBytes(path), QByteArray("new\r\nt\xC3\xA9"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.txt"});

        QVERIFY(
            QkFile::SaveTextToFile(QStringLiteral("té"), path, nullptr, TextEncoding::Windows1252));
        QCOMPARE(readBytes(path), QByteArray("t\xE9"));
    }

    void failedSaveKeepsTheOldFile() {
        QTemporaryDir dir;
        // A folder in the way: nothing can be written there, and nothing else is touched.
        QVERIFY(QDir(dir.path()).mkdir("taken.txt"));
        QString error;
        QVERIFY(!QkFile::SaveTextToFile("x", dir.filePath("taken.txt"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QkFile::SaveTextToFile("x", dir.filePath("no/such/folder/a.txt"), &error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"taken.txt"});
    }

    void replaceText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every occurrence") << "a-b-c"
                                          << "-"
                                          << " "
                                          << "a b c";
        QTest::newRow("letter case counts") << "Txt.txt"
                                            << ".txt"
                                            << ""
                                            << "Txt";
        QTest::newRow("no re-reading of the result") << "aaa"
                                                     << "a"
                                                     << "aa"
                                                     << "aaaaaa";
        QTest::newRow("doubled backslashes collapse once") << "C:\\\\\\\\x"
                                                           << "\\\\"
                                                           << "\\"
                                                           << "C:\\\\x";
        QTest::newRow("empty find leaves text") << "abc"
                                                << ""
                                                << "x"
                                                << "abc";
        QTest::newRow("comma and blank") << "A, B,C ,  D"
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

    void splitToList_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain") << "a,b" << QStringList{"a", "b"};
        QTest::newRow("two commas keep an empty piece") << "a,,b" << QStringList{"a", "", "b"};
        QTest::newRow("trailing comma keeps an empty piece") << "a," << QStringList{"a", ""};
        QTest::newRow("blanks are not trimmed") << " a , b" << QStringList{" a ", " b"};
        QTest::newRow("empty text is one empty piece") << "" << QStringList{""};
    }
    void splitToList() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QStringList list{"first"};
        QkTools::SplitToList(text, ",", list, QString());
        QCOMPARE(list, QStringList{"first"} + expected);
    }

    void randomNumberCoversOneToMaxEvenly() {
        SeededRandom random(7);
        QkTools tools(random);
        QList<int> counts(101, 0);
        const int draws = 100000;
        for (int i = 0; i < draws; ++i) {
            const int n = tools.RandomNumber(100);
            QVERIFY(n >= 1 && n <= 100);
            ++counts[n];
        }
        QCOMPARE(counts[0], 0);
        for (int n = 1; n <= 100; ++n)
            QVERIFY2(counts[n] > 800 && counts[n] < 1200, qPrintable(QString::number(n)));
    }

    void shuffleIsUniformAndKeepsEntries() {
        SeededRandom random(11);
        QkTools tools(random);
        QHash<QString, int> orders;
        const int rounds = 60000;
        for (int i = 0; i < rounds; ++i) {
            QStringList list{"a", "b", "c"};
            tools.ShuffleList(list);
            QStringList sorted = list;
            sorted.sort();
            QCOMPARE(sorted, (QStringList{"a", "b", "c"}));
            ++orders[list.join(QString())];
        }
        QCOMPARE(orders.size(), 6);
        for (int count : std::as_const(orders))
            QVERIFY(count > 9000 && count < 11000);

        QStringList empty;
        tools.ShuffleList(empty);
        QVERIFY(empty.isEmpty());
    }

    void seededSourcesRepeat() {
        SeededRandom a(42), b(42);
        QkTools ta(a), tb(b);
        QStringList la{"1", "2", "3", "4", "5", "6"}, lb = la;
        ta.ShuffleList(la);
        tb.ShuffleList(lb);
        QCOMPARE(la, lb);
    }

    void folderExists() {
        QTemporaryDir dir;
        QVERIFY(QkTools::FolderExists(dir.path(), true));
        QVERIFY(!QkTools::FolderExists(dir.filePath("missing"), true));
        QVERIFY(!QkTools::FolderExists(writeBytes(dir, "f.txt", "x"), true));
        QVERIFY(!QkTools::FolderExists(QString(), true));
    }
};

QTEST_GUILESS_MAIN(ControlLibraryTest)
#include "tst_controllib.moc"
