#include "WindowTour.h"
#include "widgets/FolderList.h"
#include "widgets/LogView.h"

#include <QtTest>
#include <QtWidgets>

class PickersTest : public QObject {
    Q_OBJECT

private slots:
    // Only the opened folder is the folder in use: a click opens a folder, which is then drawn in
    // bold, highlighted and named in full by the tooltip; a double click opens one folder, not
    // two; the keyboard's highlight goes back to it when the keyboard leaves the list.
    void folderListShowsTheFolderInUse() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("a/Deeper/deepest");
        QDir(dir.path()).mkpath("a/alpha");
        QWidget window;
        auto *list = new FolderList(&window);
        auto *other = new QLineEdit(&window);
        list->setGeometry(0, 0, 300, 400);
        other->move(0, 410);
        QSignalSpy changed(list, &FolderList::changed);
        QVERIFY(list->setPath(dir.path()));
        WindowTour::showActive(&window);
        const auto row = [&](const QString &name) {
            const auto found = list->findItems("^ *" + name + "$", Qt::MatchRegularExpression);
            return list->visualItemRect(found.value(0)).center();
        };
        // The bold lines, then the highlighted one.
        const auto inUse = [&] {
            QStringList shown;
            for (int i = 0; i < list->count(); ++i) {
                if (list->item(i)->font().bold())
                    shown.append(list->item(i)->text().trimmed());
            }
            return shown.join(",") + " / " + list->currentItem()->text().trimmed();
        };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row("a"));
        QTRY_COMPARE(list->path(), dir.filePath("a"));
        QCOMPARE(inUse(), QString("a / a"));
        // The folder's own line, then its subfolders in name order ignoring case.
        QCOMPARE(list->item(list->count() - 2)->text().trimmed(), QString("alpha"));
        // A double click as the window system delivers it: the list is rebuilt after the first
        // click, and the second press lands on whatever stands there then.
        const QPoint at = row("Deeper");
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(list->viewport(), &event);
            QCoreApplication::processEvents();
        }
        QCOMPARE(list->path(), dir.filePath("a/Deeper"));
        QCOMPARE(list->toolTip(), QDir::toNativeSeparators(dir.filePath("a/Deeper")));
        QCOMPARE(QAccessible::queryAccessibleInterface(list)->text(QAccessible::Description),
                 list->toolTip());
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(inUse(), QString("Deeper / deepest"));
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(inUse(), QString("Deeper / Deeper"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->path(), dir.filePath("a/Deeper/deepest"));
        QVERIFY(!list->setPath(dir.filePath("missing")));
        QCOMPARE(list->path(), dir.filePath("a/Deeper/deepest"));
        QCOMPARE(changed.count(), 4);
    }

    // A long line comes after short ones: it is drawn whole, the view scrolls sideways to its
    // end, and copied lines are joined with CR LF.
    void logShowsLongLinesWhole() {
        LogView log;
        log.resize(300, 120);
        log.show();
        const QString longLine = "Could not write " + QString(60, 'x') + ".txt: disk full";
        log.appendLines({"Executing Actions... 3 Files...", "Content Added to : a.txt---"});
        log.appendLines({longLine, "Done."});
        QCoreApplication::processEvents();
        QScrollBar *across = log.horizontalScrollBar();
        const QModelIndex row = log.model()->index(2, 0);
        QVERIFY2(log.visualRect(row).width() >= log.fontMetrics().horizontalAdvance(longLine),
                 qPrintable(QString::number(log.visualRect(row).width())));
        QVERIFY(across->maximum() > 0);
        across->setValue(across->maximum());
        QVERIFY(log.visualRect(row).right() <= log.viewport()->width());
        log.selectionModel()->select(log.model()->index(1, 0), QItemSelectionModel::Select);
        log.selectionModel()->select(row, QItemSelectionModel::Select);
        QCOMPARE(log.selectedText(), "Content Added to : a.txt---\r\n" + longLine);
        log.clear();
        log.appendLines({"short"});
        QCoreApplication::processEvents();
        QCOMPARE(across->maximum(), 0);
    }
};

QTEST_MAIN(PickersTest)
#include "tst_pickers.moc"
