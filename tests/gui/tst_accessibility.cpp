#include "WindowTour.h"
#include "app/FolderList.h"
#include "legalpages/frmLegalPages.h"

#include <QtTest>
#include <QtWidgets>

using WindowTour::nameOf;

namespace {

QString accessible(QWidget *widget, QAccessible::Text text) {
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(text) : QString();
}

// The objects of the window's accessibility tree, depth first.
void walk(QAccessibleInterface *face, QStringList &names) {
    for (int i = 0; i < face->childCount(); ++i) {
        QAccessibleInterface *child = face->child(i);
        if (!child)
            continue;
        if (child->object())
            names.append(child->object()->objectName());
        walk(child, names);
    }
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { WindowTour::closeAll(); }

    void everyControlHasAName_data() { WindowTour::sceneRows(); }

    void everyControlHasAName() {
        QFETCH(int, scene);
        QWidget *window = WindowTour::scenes()[scene].open();
        QStringList nameless;
        for (QWidget *control : WindowTour::controls(window)) {
            if (accessible(control, QAccessible::Name).trimmed().isEmpty())
                nameless.append(nameOf(control));
        }
        QVERIFY2(nameless.isEmpty(), qPrintable("no name: " + nameless.join(", ")));
    }

    // A screen reader finds each field's caption through the label tied to it.
    void labelsNameTheirFields_data() {
        QTest::addColumn<int>("scene");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("name");
        QTest::newRow("bulk link text") << 1 << "txtLinkText"
                                        << "Link Text";
        QTest::newRow("bulk benefit") << 1 << "txtBenefit"
                                      << "This product is for people who need to";
        QTest::newRow("bulk preview") << 2 << "txtDisclaimerPreview"
                                      << "Preview";
        QTest::newRow("legal site name") << 3 << "txtSiteName"
                                         << "Site Name";
        QTest::newRow("legal e-mail") << 3 << "txtemail"
                                      << "e-mail";
        QTest::newRow("link code") << 4 << "txtLinks"
                                   << "HTML code for your home page";
    }

    void labelsNameTheirFields() {
        QFETCH(int, scene);
        QFETCH(QString, field);
        QFETCH(QString, name);
        QWidget *window = WindowTour::scenes()[scene].open();
        auto *control = window->findChild<QWidget *>(field);
        QCOMPARE(accessible(control, QAccessible::Name), name);
        const auto labels =
            QAccessible::queryAccessibleInterface(control)->relations(QAccessible::Label);
        QVERIFY2(!labels.isEmpty() && qobject_cast<QLabel *>(labels.first().first->object()),
                 "no label is tied to the field");
    }

    void panelTogglesSayWhichPanelAndWhetherItIsOpen() {
        QWidget *bulk = WindowTour::scenes()[1].open();
        auto *toggle0 =
            bulk->findChild<QWidget *>("QkFrameMenu_0")->findChild<QWidget *>("expandCollapse");
        auto *toggle1 =
            bulk->findChild<QWidget *>("QkFrameMenu_1")->findChild<QWidget *>("expandCollapse");
        QCOMPARE(accessible(toggle0, QAccessible::Name),
                 QString("Add Product Recommendations to Articles"));
        QCOMPARE(accessible(toggle1, QAccessible::Name),
                 QString("Add Legal Disclaimers to Articles"));
        const auto expanded = [](QWidget *w) {
            const QAccessible::State state = QAccessible::queryAccessibleInterface(w)->state();
            return QString("%1 %2").arg(state.expandable).arg(state.expanded);
        };
        QCOMPARE(expanded(toggle0) + ", " + expanded(toggle1), QString("1 1, 1 0"));
    }

    // The folder in use is told in full, and follows the folder opened.
    void folderListTellsTheFolderInUse() {
        QWidget *legal = WindowTour::scenes()[3].open();
        auto *folders = legal->findChild<FolderList *>("Dir1");
        QTemporaryDir dir;
        QVERIFY(folders->setPath(dir.path()));
        QCOMPARE(accessible(folders, QAccessible::Description), dir.path());
        QCOMPARE(folders->toolTip(), dir.path());
    }

    void workingFieldsAreNotInTheTree() {
        QWidget *legal = WindowTour::scenes()[3].open();
        QStringList names;
        walk(QAccessible::queryAccessibleInterface(legal), names);
        QVERIFY(names.contains("txtSiteName")); // the walk reaches the panel's fields
        for (const char *hidden : {"frPageParser", "txtSelectedPolicy", "txtTargetFileContent",
                                   "txtLinks", "fileDisclaimers"})
            QVERIFY2(!names.contains(hidden), hidden);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
