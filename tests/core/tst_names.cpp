// How catalogue files are named and listed: TitleCase, display names and folder listings.
#include "TestData.h"
#include "core/Catalogue.h"
#include "core/FolderListing.h"
#include "core/TitleCase.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

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
                                 "a-zero.txt", "About.HTM", "b.Html", "html/inside.txt"})
            TestData::write(dir.path(), name, "");
        QDir(dir.path()).mkpath("folder.txt");

        QList<CatalogueEntry> entries;
        QVERIFY(Catalogue::list(dir.path(), entries));
        // Display names as the rule makes them; each entry still knows its own file.
        QStringList listed;
        for (const CatalogueEntry &e : std::as_const(entries))
            listed << e.displayName + ": " + QFileInfo(e.filePath).fileName();
        QCOMPARE(listed, (QStringList{"A One.Txt: A-one.TXT", "A Zero: a-zero.txt",
                                      "B Two: b-two.txt", "C Three: c three.txt"}));
        QCOMPARE(FolderListing::files(dir.path(), {"*.htm", "*.html"}),
                 (QStringList{"About.HTM", "b.Html"}));
        QCOMPARE(Catalogue::fileNameFor("Terms Of Use"), QString("terms-of-use.txt"));
    }
};

QTEST_GUILESS_MAIN(NamesTest)
#include "tst_names.moc"
