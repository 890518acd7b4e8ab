#include "app/FolderList.h"

#include <QDir>
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
        // The folder's own line, then its subfolders in name order ignoring case.
        QCOMPARE(list.item(list.count() - 2)->text().trimmed(), QString("alpha"));
        emit list.itemActivated(list.item(list.count() - 1));
        QCOMPARE(list.path(), dir.filePath("Beta"));
        QVERIFY(!list.setPath(dir.filePath("missing")));
        QCOMPARE(list.path(), dir.filePath("Beta"));
        QCOMPARE(changed.count(), 2);
    }
};

QTEST_MAIN(PickersTest)
#include "tst_pickers.moc"
