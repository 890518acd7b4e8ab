#include "FileSizeLimit.h"
#include "controllib/QkFile.h"
#include "controllib/QkParser.h"
#include "controllib/QkTools.h"
#include "controllib/RandomSource.h"
#include "controllib/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Everything in a folder, hidden files included: a left-over temporary file would show here.
QStringList inFolder(const QTemporaryDir &dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                   QDir::Name);
}

} // namespace

class ControlLibraryTest : public QObject {
    Q_OBJECT

private slots:
    void listFromFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("LF") << QByteArray("a\nb") << -1 << QStringList{"a", "b"};
        QTest::newRow("CR LF, final break makes no empty entry")
            << QByteArray("a\r\nb\r\n") << -1 << QStringList{"a", "b"};
        QTest::newRow("blank line inside kept")
            << QByteArray("a\n\nb\n") << -1 << QStringList{"a", "", "b"};
        QTest::newRow("empty file adds nothing") << QByteArray() << -1 << QStringList{};
        QTest::newRow("BOM dropped") << QByteArray("\xEF\xBB\xBFone") << -1 << QStringList{"one"};
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9\n\x80 5") << -1
                                      << QStringList{QStringLiteral("café"), QStringLiteral("€ 5")};
        QTest::newRow("a limit takes the first lines")
            << QByteArray("a\r\nb\r\nc\r\n") << 2 << QStringList{"a", "b"};
        QTest::newRow("a limit past the end takes all")
            << QByteArray("a\r\nb") << 3 << QStringList{"a", "b"};
        QTest::newRow("a limit decides the encoding on the lines taken")
            << QByteArray("caf\xC3\xA9\n\xE9") << 1 << QStringList{QStringLiteral("café")};
    }
    void listFromFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxLines);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        QStringList list{"kept"};
        QVERIFY(QkFile::LoadListFromFile(list, put(dir, "list.txt", bytes), nullptr, maxLines));
        QCOMPARE(list, QStringList{"kept"} + expected);
    }

    // A pipe would make a reading open wait for a writer and /dev/zero never ends: only regular
    // files are read. Should a read wait after all, the alarm ends the test.
    void readsOnlyRegularFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.txt" << systemReason(ENOENT);
        QTest::newRow("folder") << "folder"
                                << "It is a folder, not a file";
        QTest::newRow("named pipe") << "pipe"
                                    << "It is a pipe, not a file";
        QTest::newRow("link to a named pipe") << "to-pipe.txt"
                                              << "It is a pipe, not a file";
        QTest::newRow("device") << "/dev/zero"
                                << "It is a device, not a file";
        QTest::newRow("link to a device") << "to-zero.txt"
                                          << "It is a device, not a file";
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

        ::alarm(60);
        QString text = "before", error;
        QStringList list{"x"};
        const bool readText = QkFile::LoadTextFromFile(text, path, &error);
        QString listError;
        const bool readList = QkFile::LoadListFromFile(list, path, &listError, 10);
        ::alarm(0);
        QVERIFY(!readText && !readList);
        QCOMPARE(error, reason);
        QCOMPARE(listError, reason);
        QCOMPARE(text, QString("before"));
        QCOMPARE(list, QStringList{"x"});
    }

    // A save that fails leaves the old file exactly as it was and no temporary file. A file size
    // limit makes writes fail as on a full disk: a page small enough to sit in a write buffer is
    // lost only when that buffer is flushed.
    void failedSavesChangeNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("limit"); // bytes; 0: none
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder in the way") << "taken" << 10 << 0 << QString();
        QTest::newRow("a missing folder") << "no/such/a.txt" << 10 << 0 << QString();
        QTest::newRow("full disk, new page under 16 KiB")
            << "page.html" << 5000 << 1024 << systemReason(EFBIG);
        QTest::newRow("full disk, new page over 16 KiB")
            << "page.html" << 40000 << 1024 << systemReason(EFBIG);
    }
    void failedSavesChangeNothing() {
        QFETCH(QString, target);
        QFETCH(int, size);
        QFETCH(int, limit);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("taken"));
        const QByteArray edited = QByteArray("<p>Edited by hand.</p>\n").repeated(300);
        put(dir, "page.html", edited);
        QString error;
        bool saved = true;
        {
            std::optional<FileSizeLimit> full;
            if (limit > 0)
                QVERIFY(full.emplace(rlim_t(limit)).active());
            saved = QkFile::writeBytes(QByteArray(size, 'n'), dir.filePath(target), &error);
        }
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(error, reason);
        QCOMPARE(bytesOf(dir.filePath("page.html")), edited);
        QCOMPARE(inFolder(dir), (QStringList{"page.html", "taken"}));
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
