#include "FileSizeLimit.h"
#include "TestData.h"
#include "controllib/QkFile.h"
#include "controllib/QkParser.h"
#include "controllib/QkTools.h"
#include "controllib/RandomSource.h"
#include "controllib/TextCodec.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

class ControlLibraryTest : public QObject {
    Q_OBJECT

private slots:
    void listFromFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("CR LF or LF end a line, a lone CR is text, a final break adds none")
            << QByteArray("a\r\n\nb\rc\n") << -1 << QStringList{"a", "", "b\rc"};
        QTest::newRow("empty file adds nothing") << QByteArray() << -1 << QStringList{};
        QTest::newRow("BOM dropped") << QByteArray("\xEF\xBB\xBFone") << -1 << QStringList{"one"};
        QTest::newRow("Windows-1252")
            << QByteArray("caf\xE9\n\x80 5") << -1 << QStringList{"café", "€ 5"};
        QTest::newRow("a limit past the end takes all")
            << QByteArray("a\r\nb") << 3 << QStringList{"a", "b"};
        QTest::newRow("a limit reads and decodes only its lines")
            << QByteArray("caf\xC3\xA9\n\xE9") << 1 << QStringList{"café"};
    }
    void listFromFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxLines);
        QTemporaryDir dir;
        QStringList list{"kept"};
        QVERIFY(QkFile::LoadListFromFile(list, TestData::write(dir.path(), "l.txt", bytes), nullptr,
                                         maxLines));
        QCOMPARE(list.takeFirst(), QString("kept"));
        QTEST(list, "expected");
    }

    // A pipe would make a reading open wait for a writer and /dev/zero never ends: only regular
    // files are read, by both the whole and the bounded reader, judged by what a link points at.
    void readsOnlyRegularFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        const QString pipe = "It is a pipe, not a file", device = "It is a device, not a file";
        QTest::newRow("missing") << "missing.txt" << QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("folder") << "folder" << QString("It is a folder, not a file");
        QTest::newRow("link to a named pipe") << "to-pipe.txt" << pipe;
        QTest::newRow("link to a device") << "to-zero.txt" << device;
    }
    void readsOnlyRegularFiles() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
        QVERIFY(QFile::link(dir.filePath("pipe"), dir.filePath("to-pipe.txt")));
        QVERIFY(QFile::link("/dev/zero", dir.filePath("to-zero.txt")));
        const QString path = QDir(dir.path()).filePath(name);
        ::alarm(60); // should a read wait after all, this ends the test
        QString text = "before", error, listError;
        QStringList list{"x"};
        const bool read = QkFile::LoadTextFromFile(text, path, &error) |
                          QkFile::LoadListFromFile(list, path, &listError, 10);
        ::alarm(0);
        QVERIFY(!read);
        QCOMPARE(QStringList({error, listError, text}), QStringList({reason, reason, "before"}));
        QCOMPARE(list, QStringList{"x"});
    }

    // A save that fails leaves the old file exactly as it was and no temporary file. A file size
    // limit makes writes fail as on a full disk: a page small enough to sit in a write buffer is
    // lost only when that buffer is flushed.
    void failedSavesChangeNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("limit"); // bytes; 0: none
        QTest::newRow("a folder in the way") << "taken" << 10 << 0;
        QTest::newRow("full disk, new page under 16 KiB") << "page.html" << 5000 << 1024;
        QTest::newRow("full disk, new page over 16 KiB") << "page.html" << 40000 << 1024;
    }
    void failedSavesChangeNothing() {
        QFETCH(QString, target);
        QFETCH(int, size);
        QFETCH(int, limit);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("taken"));
        const QByteArray edited = QByteArray("<p>Edited by hand.</p>\n").repeated(300);
        const QString page = TestData::write(dir.path(), "page.html", edited);
        std::optional<FileSizeLimit> full;
        if (limit > 0)
            QVERIFY(full.emplace(rlim_t(limit)).active());
        QString error;
        const bool saved = QkFile::writeBytes(QByteArray(size, 'n'), dir.filePath(target), &error);
        full.reset();
        QVERIFY2(!saved && !error.isEmpty(), qPrintable(error));
        QVERIFY2(limit == 0 || error == QString::fromLocal8Bit(std::strerror(EFBIG)),
                 qPrintable(error));
        QCOMPARE(TestData::read(page), edited);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{"page.html", "taken"}));
    }

    void windows1252SpellsWhatItLacksAsReferences() {
        QCOMPARE(TextCodec::encode("é ✓ \U0001F600 €", TextEncoding::Windows1252),
                 QByteArray("\xE9 &#10003; &#128512; \x80"));
    }

    // Decoding and encoding again gives the very bytes; sniff() tells an article's encoding.
    void encodingsRoundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("decoded");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<TextEncoding>("sniffed");
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every.append(char(b));
        const auto utf8 = TextEncoding::Utf8, cp1252 = TextEncoding::Windows1252;
        QTest::newRow("every byte of Windows-1252") << every << cp1252 << false << cp1252;
        QTest::newRow("UTF-8 with NUL bytes")
            << QByteArray("a\0b\0\xE2\x9C\x93", 7) << utf8 << false << utf8;
        QTest::newRow("UTF-8 BOM remembered")
            << QByteArray("\xEF\xBB\xBFh\xC3\xA9") << utf8 << true << utf8;
        QTest::newRow("half a sequence is Windows-1252")
            << QByteArray("caf\xC3") << cp1252 << false << cp1252;
        QTest::newRow("BOM then invalid bytes: decoded as Windows-1252, an article's mark counts")
            << QByteArray("\xEF\xBB\xBF\xFF") << cp1252 << false << utf8;
        QTest::newRow("UTF-16 LE mark")
            << QByteArray("\xFF\xFEh\0", 4) << cp1252 << false << TextEncoding::Utf16LE;
        QTest::newRow("UTF-16 BE mark")
            << QByteArray("\xFE\xFF\0h", 4) << cp1252 << false << TextEncoding::Utf16BE;
    }
    void encodingsRoundTrip() {
        QFETCH(QByteArray, bytes);
        const DecodedText decoded = TextCodec::decode(bytes);
        QTEST(decoded.encoding, "decoded");
        QTEST(decoded.byteOrderMark, "bom");
        QCOMPARE(TextCodec::encode(decoded.text, decoded.encoding, decoded.byteOrderMark), bytes);
        QTEST(TextCodec::sniff(bytes).encoding, "sniffed");
    }

    void replaceTextAndSplitToList() {
        struct Row {
            const char *name, *text, *find, *replacement, *expected;
        };
        for (const Row &r : {Row{"letter case counts", "Txt.txt", ".txt", "", "Txt"},
                             Row{"result not re-read", "aaa", "a", "aa", "aaaaaa"},
                             Row{"empty find leaves text", "abc", "", "x", "abc"},
                             Row{"only comma-blank", "A, B,C ,  D", ", ", ",", "A,B,C , D"}}) {
            const QString got = QkParser::ReplaceText(r.text, r.find, r.replacement, 0);
            QVERIFY2(got == r.expected, qPrintable(r.name + (": " + got)));
        }

        QStringList list{"first"}; // every piece kept, the list not emptied first
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
            ++picks[tools.PickIndex(3)]; // out of 0..2 would crash here
        for (int count : std::as_const(picks))
            QVERIFY(count > 9000 && count < 11000);
        QCOMPARE(tools.PickIndex(0), 0);
    }
};

QTEST_GUILESS_MAIN(ControlLibraryTest)
#include "tst_controllib.moc"
