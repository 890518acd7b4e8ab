#include "app/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void touch(const QString &path) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(path.toUtf8());
}

} // namespace

class CatalogueNamesTest : public QObject {
    Q_OBJECT

private slots:
    void displayNames_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("displayName");
        QTest::newRow("hyphens") << "privacy-policy.txt"
                                 << "Privacy Policy";
        QTest::newRow("capitals lost") << "FTC-disclosure.txt"
                                       << "Ftc Disclosure";
        QTest::newRow("digit") << "2nd-notice.txt"
                               << "2Nd Notice";
        QTest::newRow("digits first") << "2257-statement.txt"
                                      << "2257 Statement";
        QTest::newRow("underscore") << "cookies_policy.txt"
                                    << "Cookies_Policy";
        QTest::newRow("apostrophe") << "children's-privacy.txt"
                                    << "Children'S Privacy";
        QTest::newRow("blank kept") << "my file.txt"
                                    << "My File";
        QTest::newRow("every .txt removed") << "a.txt.b.txt"
                                            << "A.B";
    }
    void displayNames() {
        QFETCH(QString, fileName);
        QFETCH(QString, displayName);
        QCOMPARE(Catalogue::displayName(fileName), displayName);
    }

    void fileNameFromDisplayName() {
        QCOMPARE(Catalogue::fileNameFor("Terms Of Use"), QString("terms-of-use.txt"));
        QCOMPARE(Catalogue::fileNameFor("My File"), QString("my-file.txt"));
    }

    void listsTextFilesInNameOrderIgnoringCase() {
        QTemporaryDir dir;
        for (const char *name :
             {"b-two.txt", "A-one.TXT", "c three.txt", ".hidden.txt", "notes.md", "a-zero.txt"})
            touch(dir.filePath(name));
        QDir(dir.path()).mkpath("html");
        QDir(dir.path()).mkpath("folder.txt");
        touch(dir.filePath("html/inside.txt"));

        QList<CatalogueEntry> entries;
        QVERIFY(Catalogue::list(dir.path(), entries));
        QStringList names, files;
        for (const CatalogueEntry &e : entries) {
            names << e.displayName;
            files << QFileInfo(e.filePath).fileName();
        }
        QCOMPARE(files, (QStringList{"A-one.TXT", "a-zero.txt", "b-two.txt", "c three.txt"}));
        // Display names as the rule makes them; the entry still knows its own file.
        QCOMPARE(names, (QStringList{"A One.Txt", "A Zero", "B Two", "C Three"}));
        QCOMPARE(entries.at(3).filePath, dir.filePath("c three.txt"));
    }

    void missingFolderIsReported() {
        QTemporaryDir dir;
        QList<CatalogueEntry> entries;
        QString error;
        QVERIFY(!Catalogue::list(dir.filePath("gone"), entries, &error));
        QVERIFY(entries.isEmpty());
        QVERIFY(!error.isEmpty());
    }

    void htmlPatternsMatchAnyCase() {
        QTemporaryDir dir;
        for (const char *name : {"index.html", "About.HTM", "style.css", "b.Html"})
            touch(dir.filePath(name));
        QCOMPARE(FolderListing::files(dir.path(), {"*.htm", "*.html"}),
                 (QStringList{"About.HTM", "b.Html", "index.html"}));
    }
};

QTEST_GUILESS_MAIN(CatalogueNamesTest)
#include "tst_catalogue_names.moc"
