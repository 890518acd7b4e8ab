#include "app/FileList.h"
#include "app/FolderList.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class PickersTest : public QObject {
    Q_OBJECT

private slots:
    void folderListOpensFoldersAndRefusesWhatItCannotOpen() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("Beta");
        QDir(dir.path()).mkpath("alpha");
        FolderList list;
        QSignalSpy changed(&list, &FolderList::changed);
        QVERIFY(list.setPath(dir.path()));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(list.path(), QDir::cleanPath(dir.path()));
        // The last two lines are the subfolders, in name order ignoring case.
        QCOMPARE(list.item(list.count() - 2)->text().trimmed(), QString("alpha"));
        QCOMPARE(list.item(list.count() - 1)->text().trimmed(), QString("Beta"));

        emit list.itemActivated(list.item(list.count() - 1));
        QCOMPARE(list.path(), dir.filePath("Beta"));
        QCOMPARE(changed.count(), 2);

        QVERIFY(!list.setPath(dir.filePath("missing")));
        QCOMPARE(list.path(), dir.filePath("Beta"));
        QCOMPARE(changed.count(), 2);
    }

    void fileListShowsMatchingFiles() {
        QTemporaryDir dir;
        for (const char *name : {"b.txt", "A.TXT", "c.doc"}) {
            QFile file(dir.filePath(name));
            file.open(QIODevice::WriteOnly);
        }
        QDir(dir.path()).mkpath("sub.txt");
        FileList list;
        list.setPattern("*.txt");
        list.setPath(dir.path());
        QCOMPARE(list.fileNames(), (QStringList{"A.TXT", "b.txt"}));
        QCOMPARE(list.count(), 2);
    }
};

QTEST_MAIN(PickersTest)
#include "tst_pickers.moc"
