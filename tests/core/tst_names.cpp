// How catalogue files are named and listed: TitleCase, display names and folder listings.
#include "app/Catalogue.h"
#include "app/FolderListing.h"
#include "app/TitleCase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void touch(const QString &path) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

} // namespace

class NamesTest : public QObject {
    Q_OBJECT

private slots:
    // Rows with a ".txt" go through the whole file-name rule, the others through TitleCase alone.
    void names_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QList<std::pair<QString, QString>> rows = {
            {"TERMS OF USE", "Terms Of Use"},
            {"terms  of use", "Terms  Of Use"},
            {"e-mail policy", "E-Mail Policy"},
            {"don't", "Don'T"},
            {"2nd notice", "2Nd Notice"},
            {"privacy.policy", "Privacy.Policy"},
            {QStringLiteral("ÉTÉ"), QStringLiteral("éTé")},
            {"", ""},
            {"   ", "   "},
            {"FTC-disclosure.txt", "Ftc Disclosure"},
            {"2257-statement.txt", "2257 Statement"},
            {"cookies_policy.txt", "Cookies_Policy"},
            {"children's-privacy.txt", "Children'S Privacy"},
            {"my file.txt", "My File"},
            {"a.txt.b.txt", "A.B"}};
        for (const auto &[input, expected] : rows)
            QTest::newRow(qPrintable("'" + input + "'")) << input << expected;
    }
    void names() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const QString result =
            input.contains(".txt") ? Catalogue::displayName(input) : TitleCase(input);
        QCOMPARE(result, expected);
    }

    void listsFilesInNameOrderIgnoringCase() {
        QTemporaryDir dir;
        for (const char *name : {"b-two.txt", "A-one.TXT", "c three.txt", ".hidden.txt", "notes.md",
                                 "a-zero.txt", "About.HTM", "b.Html"})
            touch(dir.filePath(name));
        QDir(dir.path()).mkpath("html");
        QDir(dir.path()).mkpath("folder.txt");
        touch(dir.filePath("html/inside.txt"));

        QList<CatalogueEntry> entries;
        QVERIFY(Catalogue::list(dir.path(), entries));
        QStringList names, files;
        for (const CatalogueEntry &e : std::as_const(entries)) {
            names << e.displayName;
            files << QFileInfo(e.filePath).fileName();
        }
        QCOMPARE(files, (QStringList{"A-one.TXT", "a-zero.txt", "b-two.txt", "c three.txt"}));
        // Display names as the rule makes them; each entry still knows its own file.
        QCOMPARE(names, (QStringList{"A One.Txt", "A Zero", "B Two", "C Three"}));
        QCOMPARE(FolderListing::files(dir.path(), {"*.htm", "*.html"}),
                 (QStringList{"About.HTM", "b.Html"}));

        QCOMPARE(Catalogue::fileNameFor("Terms Of Use"), QString("terms-of-use.txt"));
        QString error;
        QVERIFY(!Catalogue::list(dir.filePath("gone"), entries, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(NamesTest)
#include "tst_names.moc"
