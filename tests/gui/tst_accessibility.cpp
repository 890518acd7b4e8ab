#include "WindowTour.h"
#include "widgets/CatalogueList.h"
#include "widgets/FocusRing.h"
#include "widgets/HelpWindow.h"
#include "widgets/QkFrame.h"
#include "widgets/Seam.h"
#include "widgets/WindowStyle.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>

using WindowTour::nameOf;

namespace {

double contrast(const QColor &a, const QColor &b) {
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What is drawn behind a label: the nearest container that paints its own background, or the
// header bar a panel paints.
QColor backgroundOf(QWidget *widget) {
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
        auto *panel = qobject_cast<QkFrame *>(w->parentWidget());
        if (panel && w->y() < Twips::px(QkFrame::HeaderHeight))
            return panel->palette().color(QPalette::Button);
    }
    return {};
}

// Where a label's text is drawn, in its parent's coordinates.
QRect textRect(const QLabel *label) {
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0) |
                      (label->buddy() ? Qt::TextShowMnemonic : 0);
    return label->fontMetrics()
        .boundingRect(label->contentsRect(), flags, label->text())
        .translated(label->pos());
}

// The strongest contrast an unticked tick box draws against what it stands on.
double tickBoxContrast(QWidget *widget, QStyle::PrimitiveElement element, const QColor &behind) {
    QStyleOptionButton option;
    option.initFrom(widget);
    option.state |= QStyle::State_Off | QStyle::State_Enabled;
    option.rect = QRect(2, 2, 13, 13);
    QImage image(17, 17, QImage::Format_RGB32);
    image.fill(behind);
    QPainter painter(&image);
    widget->style()->drawPrimitive(element, &option, &painter, widget);
    painter.end();
    double strongest = 1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            strongest = std::max(strongest, contrast(image.pixelColor(x, y), behind));
    }
    return strongest;
}

// The objects of an accessibility tree, depth first.
void walk(QAccessibleInterface *face, QObjectList &found) {
    for (int i = 0; i < face->childCount(); ++i) {
        if (QAccessibleInterface *child = face->child(i)) {
            found.append(child->object());
            walk(child, found);
        }
    }
}

// The names screen readers say for fields, taken from the captions tied to them.
const QHash<QString, QString> SpokenNames{
    {"txtBenefit", "This product is for people who need to"},
    {"txtLinkText", "Link Text"},
    {"txtSiteName", "Site Name"},
    {"txtemail", "e-mail"},
    {"txtLinks", "HTML code for your home page"},
    {"Drive1", "Drive"},
    {"QkFrameMenu_0/toggle", "Add Product Recommendations to Articles"},
    {"QkFrameMenu_1/toggle", "Add Legal Disclaimers to Articles"},
};

// The legal pages window's working fields, which no user meets (only the link code window shows
// a txtLinks).
const QStringList WorkingFields{"frPageParser", "txtSelectedPolicy", "txtTargetFileContent",
                                "txtLinks", "fileDisclaimers"};

} // namespace

// Every window, in each panel state, under a light and a dark desktop palette, as a keyboard
// user, a screen reader and a reader with DejaVu Sans as the only font meet it.
class AccessibilityTest : public QObject {
    Q_OBJECT

public:
    // DejaVu Sans, regular and bold, as the only fonts, before the application starts.
    static void initMain() {
        static QTemporaryDir fonts;
        QDir(fonts.path()).mkpath("ttf");
        for (const char *file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
            QFile::link(QString("/usr/share/fonts/truetype/dejavu/") + file,
                        fonts.filePath(QString("ttf/") + file));
        }
        QFile config(fonts.filePath("fonts.conf"));
        if (config.open(QIODevice::WriteOnly))
            config.write(QString("<fontconfig><dir>%1</dir><cachedir>%2</cachedir></fontconfig>")
                             .arg(fonts.filePath("ttf"), fonts.filePath("cache"))
                             .toUtf8());
        qputenv("FONTCONFIG_FILE", QFile::encodeName(config.fileName()));
    }

private slots:
    void initTestCase() { WindowStyle::applyApplicationLook(*qApp); }

    void cleanup() {
        WindowTour::closeAll();
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void everyWindowServesEveryone_data() {
        QTest::addColumn<int>("scene");
        QTest::addColumn<bool>("dark");
        const auto scenes = WindowTour::scenes();
        for (bool dark : {false, true}) {
            for (int i = 0; i < scenes.size(); ++i)
                QTest::addRow("%s, %s", qPrintable(scenes[i].name), dark ? "dark" : "light")
                    << i << dark;
        }
    }

    void everyWindowServesEveryone() {
        QFETCH(int, scene);
        QFETCH(bool, dark);
        QCOMPARE(QFontInfo(WindowStyle::plain()).family(), QString("DejaVu Sans"));
        const QColor darkGrey(45, 45, 48);
        QApplication::setPalette(dark ? QPalette(darkGrey, darkGrey)
                                      : QApplication::style()->standardPalette());
        const WindowTour::Scene tour = WindowTour::scenes()[scene];
        QWidget *window = tour.open();
        QStringList faults;
        const auto check = [&](bool ok, const QWidget *w, const QString &what) {
            if (!ok)
                faults.append(nameOf(w) + ": " + what);
        };
        const auto readable = [&](const QWidget *w, const QColor &text, const QColor &back) {
            const double ratio = contrast(text, back);
            check(ratio >= 4.5, w, QString("contrast %1:1").arg(ratio, 0, 'f', 2));
        };

        // Captions: readable, inside their boxes and clear of their neighbours.
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (!label->isVisible() || label->text().isEmpty())
                continue;
            const QString spoken =
                QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
            check(!spoken.trimmed().startsWith('>'), label, "read as " + spoken);
            readable(label, label->palette().color(label->foregroundRole()), backgroundOf(label));
            const QRect text = textRect(label);
            bool clear = label->geometry().contains(text);
            for (QWidget *other :
                 label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                auto *otherLabel = qobject_cast<QLabel *>(other);
                clear = clear &&
                        (other == label || !other->isVisible() ||
                         !text.intersects(otherLabel ? textRect(otherLabel) : other->geometry()));
            }
            check(clear, label, "text clipped or overlapping");
        }
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect room = button->style()->subElementRect(qobject_cast<QCheckBox *>(button)
                                                                   ? QStyle::SE_CheckBoxContents
                                                                   : QStyle::SE_PushButtonContents,
                                                               &option, button);
            check(!button->isVisible() || button->fontMetrics().horizontalAdvance(
                                              button->text().remove('&')) <= room.width(),
                  button, "caption clipped");
        }

        // Controls: readable boxes, and in the accessibility tree with a name.
        // The offscreen screen (800x600) is smaller than the job windows: they fit it and scroll.
        const QSize room = window->screen()->availableGeometry().size();
        check(window->width() <= room.width() && window->height() <= room.height(), window,
              "larger than the screen");
        QAccessibleInterface *windowFace = QAccessible::queryAccessibleInterface(window);
        check(windowFace->role() == QAccessible::Window ||
                  windowFace->role() == QAccessible::Dialog,
              window, "not exposed as a window");
        QObjectList tree;
        walk(windowFace, tree);
        const QList<QWidget *> controls = WindowTour::controls(window);
        for (QWidget *control : controls) {
            // Tick boxes seen against their row; text never taller than its field.
            const double tick =
                qobject_cast<QCheckBox *>(control)
                    ? tickBoxContrast(control, QStyle::PE_IndicatorCheckBox, backgroundOf(control))
                : qobject_cast<CatalogueList *>(control)
                    ? tickBoxContrast(control, QStyle::PE_IndicatorItemViewItemCheck,
                                      control->palette().color(QPalette::Base))
                    : 3;
            check(tick >= 3, control, QString("tick box at %1:1").arg(tick, 0, 'f', 2));
            if (qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control))
                check(control->fontMetrics().height() <= control->height() - 6, control,
                      "text taller than its box");
            if (dark && qobject_cast<QPlainTextEdit *>(control))
                check(control->palette().color(QPalette::Base).lightnessF() < 0.5, control,
                      "a light box on a dark desktop");
            if (qobject_cast<QLineEdit *>(control) || qobject_cast<QPlainTextEdit *>(control) ||
                qobject_cast<QAbstractItemView *>(control))
                readable(control, control->palette().color(QPalette::Text),
                         control->palette().color(QPalette::Base));
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
            const QString name = face->text(QAccessible::Name);
            check(tree.contains(control), control, "not in the accessibility tree");
            check(!name.trimmed().isEmpty(), control, "no accessible name");
            check(name == SpokenNames.value(nameOf(control), name), control, "named " + name);
            auto *panel = qobject_cast<QkFrame *>(control->parentWidget());
            if (panel && control == panel->toggleButton() &&
                control->focusPolicy() != Qt::NoFocus) {
                check(face->state().expandable && face->state().expanded == panel->Expanded(),
                      control, "does not tell whether its panel is open");
                const auto *status = panel->findChild<QLabel *>(
                    panel->objectName() == "QkFrameMenu_0" ? "lblProductRecommendationsTooltip"
                                                           : "lblLegalDisclaimersTooltip");
                check(face->text(QAccessible::Description) == status->text(), control,
                      "described as " + face->text(QAccessible::Description));
            }
            if (auto *list = qobject_cast<CatalogueList *>(control)) {
                for (int row = 0; row < list->count(); ++row) {
                    QAccessibleInterface *entry = face->child(row);
                    check(entry->state().checkable && !entry->state().checked &&
                              entry->text(QAccessible::Description) == "not checked",
                          control,
                          "entry not read as a tick box: " + entry->text(QAccessible::Name));
                }
            }
        }
        for (QObject *object : std::as_const(tree)) {
            auto *widget = qobject_cast<QWidget *>(object);
            check(!widget || !WorkingFields.contains(widget->objectName()) ||
                      controls.contains(widget),
                  widget, "a working field in the accessibility tree");
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));

        // Tab from the first focus stop round to it again: every stop is a control the user can
        // see whole, in the window's order, and no text a user can edit changes on the way.
        const auto texts = [window] {
            QString all;
            for (QPlainTextEdit *box : window->findChildren<QPlainTextEdit *>())
                all += box->isReadOnly() ? QString() : box->toPlainText() + '\n';
            return all;
        };
        const QString before = texts();
        QTRY_COMPARE(nameOf(QApplication::focusWidget()), tour.tabStops.first());
        QStringList seen;
        do {
            QWidget *stop = QApplication::focusWidget();
            QVERIFY2(WindowTour::wholeOnScreen(stop),
                     qPrintable(nameOf(stop) + " has the focus but is not on screen"));
            if (qobject_cast<QAbstractItemView *>(stop))
                QVERIFY2(stop->findChild<FocusRing *>() &&
                             stop->findChild<FocusRing *>()->isVisible(),
                         qPrintable(nameOf(stop) + " shows no focus ring"));
            seen.append(nameOf(stop));
            QTest::keyClick(stop, Qt::Key_Tab);
        } while (nameOf(QApplication::focusWidget()) != tour.tabStops.first() &&
                 seen.size() <= tour.tabStops.size());
        QCOMPARE(seen, tour.tabStops);
        QCOMPARE(texts(), before);

        // F1 opens the manual at the window's section.
        if (tour.name == "help")
            return;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        auto *help = window->findChild<HelpWindow *>();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->browser()->textCursor().selectedText(), tour.helpSection);
        QVERIFY(help->browser()->toPlainText().contains("Picking a folder"));
    }

    // The About entry of the main menu's context menu and of the manual: the version, the data
    // files and the manual.
    void aboutTellsWhereTheDataFilesAre() {
        QWidget *menu = WindowTour::scenes()[0].open();
        QCOMPARE(menu->contextMenuPolicy(), Qt::ActionsContextMenu);
        for (QAction *action : menu->actions()) {
            if (action->text().contains("About"))
                action->trigger();
        }
        HelpWindow::open(menu, QString())->findChild<QPushButton *>("about")->click();
        const auto told = Seam::takeMessages();
        QCOMPARE(told.size(), 2);
        for (const Seam::Message &m : told) {
            QCOMPARE(m.title, QString("About Clausewright"));
            QVERIFY2(m.text.contains("Data files: " CW_BINARY_DIR " (templates and rwdb.txt)") &&
                         m.text.contains("Manual: " CW_BINARY_DIR "/README.md"),
                     qPrintable(m.text));
        }
    }

    // On a light palette the window's own colours are the ones it was laid out with.
    void lightPaletteKeepsTheLaidOutColours() {
        QWidget *bulk = WindowTour::scenes()[2].open();
        const auto colour = [&](const char *name, QPalette::ColorRole role) {
            return bulk->findChild<QWidget *>(name)->palette().color(role);
        };
        QCOMPARE(colour("Label5", QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(colour("txtDisclaimerPreview", QPalette::Base), QColor(224, 224, 224));
        QCOMPARE(colour("lblMenu_1", QPalette::Window), QColor(0, 128, 0));
        QCOMPARE(colour("lblMenu_1", QPalette::WindowText), QColor(Qt::white));
    }

    // A fixed window is centred where it fits; where it does not, its top-left corner, and so its
    // title bar, stays on the screen.
    void windowsStayOnSmallScreens_data() {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("fits: centred in the area beside a panel")
            << QSize(100, 100) << QRect(50, 30, 300, 200) << QPoint(150, 80);
        QTest::newRow("twice the scale on 1280x1024: top-left")
            << QSize(825, 603) << QRect(0, 0, 640, 512) << QPoint(0, 0);
        QTest::newRow("too tall only: top at the top, centred across")
            << QSize(400, 603) << QRect(0, 24, 640, 488) << QPoint(120, 24);
    }

    void windowsStayOnSmallScreens() {
        QFETCH(QSize, frame);
        QFETCH(QRect, available);
        QTEST(WindowStyle::placement(frame, available), "topLeft");
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
