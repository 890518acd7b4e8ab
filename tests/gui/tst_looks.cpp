#include "WindowTour.h"
#include "app/FolderList.h"
#include "app/WindowStyle.h"
#include "controllib/QkFrame.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>

using WindowTour::nameOf;

namespace {

double luminance(const QColor &c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b) {
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

QPalette darkPalette() {
    // Text, button, light, dark, mid, text, bright text, base, window.
    return QPalette(QColor(235, 235, 235), QColor(45, 45, 48), QColor(80, 80, 84),
                    QColor(20, 20, 22), QColor(35, 35, 38), QColor(235, 235, 235), Qt::white,
                    QColor(30, 30, 30), QColor(45, 45, 48));
}

// Where a label's text is drawn, in its parent's coordinates.
QRect textRect(const QLabel *label) {
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    if (label->buddy())
        flags |= Qt::TextShowMnemonic;
    const QRect box = label->contentsRect();
    return label->fontMetrics().boundingRect(box, flags, label->text()).translated(label->pos());
}

QString withoutMnemonic(QString text) {
    return text.replace(QRegularExpression("&(.)"), "\\1");
}

} // namespace

// Run with DejaVu Sans as the only font on the machine (see main below).
class LooksTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        WindowTour::closeAll();
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    // Every caption stays inside its box and clear of its neighbours.
    void captionsFitWithDejaVuOnly_data() { WindowTour::sceneRows(); }
    void captionsFitWithDejaVuOnly() {
        QCOMPARE(QFontInfo(WindowStyle::plain()).family(), QString("DejaVu Sans"));
        QFETCH(int, scene);
        QWidget *window = WindowTour::scenes()[scene].open();
        QStringList clipped;
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (!label->isVisible() || label->text().isEmpty())
                continue;
            const QRect text = textRect(label);
            bool fits = label->geometry().contains(text);
            for (QWidget *other :
                 label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (other == label || !other->isVisible())
                    continue;
                auto *otherLabel = qobject_cast<QLabel *>(other);
                fits =
                    fits && !text.intersects(otherLabel ? textRect(otherLabel) : other->geometry());
            }
            if (!fits)
                clipped.append(label->objectName());
        }
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            QStyleOptionButton option;
            option.initFrom(button);
            const bool tick = qobject_cast<QCheckBox *>(button);
            const QRect room = button->style()->subElementRect(tick ? QStyle::SE_CheckBoxContents
                                                                    : QStyle::SE_PushButtonContents,
                                                               &option, button);
            if (button->isVisible() && button->fontMetrics().horizontalAdvance(
                                           withoutMnemonic(button->text())) > room.width())
                clipped.append(nameOf(button));
        }
        QVERIFY2(clipped.isEmpty(), qPrintable("clipped or overlapping: " + clipped.join(", ")));
    }

    // Text against what lies behind it, for every label and text box, under a light and a dark
    // desktop palette.
    void textIsReadable_data() {
        QTest::addColumn<int>("scene");
        QTest::addColumn<bool>("dark");
        const auto scenes = WindowTour::scenes();
        for (bool dark : {false, true}) {
            for (int i = 0; i < scenes.size(); ++i)
                QTest::addRow("%s, %s", dark ? "dark" : "light", qPrintable(scenes[i].name))
                    << i << dark;
        }
    }

    void textIsReadable() {
        QFETCH(int, scene);
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        QWidget *window = WindowTour::scenes()[scene].open();
        QStringList faint;
        for (QLabel *label : window->findChildren<QLabel *>()) {
            const double ratio =
                contrast(label->palette().color(label->foregroundRole()), backgroundOf(label));
            if (label->isVisible() && !label->text().isEmpty() && ratio < 4.5)
                faint.append(QString("%1 %2:1").arg(label->objectName()).arg(ratio, 0, 'f', 2));
        }
        for (QWidget *box : WindowTour::controls(window)) {
            if (!qobject_cast<QLineEdit *>(box) && !qobject_cast<QPlainTextEdit *>(box) &&
                !qobject_cast<QAbstractItemView *>(box))
                continue;
            const double ratio = contrast(box->palette().color(QPalette::Text),
                                          box->palette().color(QPalette::Base));
            if (ratio < 4.5)
                faint.append(QString("%1 %2:1").arg(nameOf(box)).arg(ratio, 0, 'f', 2));
        }
        QVERIFY2(faint.isEmpty(), qPrintable("too faint: " + faint.join(", ")));
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
    void windowsStayOnTheScreen_data() {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("fits: centred")
            << QSize(825, 603) << QRect(0, 0, 1280, 1024) << QPoint(227, 210);
        QTest::newRow("fits beside a panel on the left")
            << QSize(100, 100) << QRect(50, 30, 300, 200) << QPoint(150, 80);
        QTest::newRow("twice the scale on 1280x1024: top-left")
            << QSize(825, 603) << QRect(0, 0, 640, 512) << QPoint(0, 0);
        QTest::newRow("too tall only: top at the top, centred across")
            << QSize(400, 603) << QRect(0, 24, 640, 488) << QPoint(120, 24);
    }

    void windowsStayOnTheScreen() {
        QFETCH(QSize, frame);
        QFETCH(QRect, available);
        QTEST(WindowStyle::placement(frame, available), "topLeft");
    }

    // Only the opened folder is the folder in use: it is drawn in bold and highlighted after a
    // click, a double click opens one folder and not two, and a highlight moved by the keyboard
    // goes back to it when the keyboard leaves the list.
    void folderInUseIsUnmistakable() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("a/deeper/deepest");
        QDir(dir.path()).mkpath("a/alpha"); // "deeper" is not the first subfolder
        QDir(dir.path()).mkpath("b");
        QWidget window;
        auto *list = new FolderList(&window);
        auto *other = new QLineEdit(&window);
        list->setGeometry(0, 0, 300, 400);
        other->move(0, 410);
        QVERIFY(list->setPath(dir.path()));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto row = [&](const QString &name) {
            for (int i = 0; i < list->count(); ++i) {
                if (list->item(i)->text().trimmed() == name)
                    return list->item(i);
            }
            return static_cast<QListWidgetItem *>(nullptr);
        };
        const auto inUse = [&] {
            QStringList bold;
            for (int i = 0; i < list->count(); ++i) {
                if (list->item(i)->font().bold())
                    bold.append(list->item(i)->text().trimmed());
            }
            return bold.join(",") + " / " + list->currentItem()->text().trimmed();
        };
        const auto centre = [&](const QString &name) {
            return list->visualItemRect(row(name)).center();
        };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre("a"));
        QTRY_COMPARE(list->path(), dir.filePath("a"));
        QCOMPARE(inUse(), QString("a / a"));
        // A double click as the window system delivers it: the list is rebuilt after the first
        // click, and the second press lands on whatever stands there then.
        const QPoint at = centre("deeper");
        const auto send = [&](QEvent::Type type) {
            QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(list->viewport(), &event);
        };
        send(QEvent::MouseButtonPress);
        send(QEvent::MouseButtonRelease);
        QTRY_COMPARE(list->path(), dir.filePath("a/deeper"));
        send(QEvent::MouseButtonDblClick);
        send(QEvent::MouseButtonRelease);
        QCoreApplication::processEvents(); // nothing further is queued
        QCOMPARE(list->path(), dir.filePath("a/deeper"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(inUse(), QString("deeper / deepest"));
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(inUse(), QString("deeper / deeper"));
        QCOMPARE(list->path(), dir.filePath("a/deeper"));
    }
};

int main(int argc, char *argv[]) {
    // DejaVu Sans, regular and bold, and no other font.
    QTemporaryDir fonts;
    QDir(fonts.path()).mkpath("ttf");
    for (const char *file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
        QFile::link(QString("/usr/share/fonts/truetype/dejavu/") + file,
                    fonts.filePath(QString("ttf/") + file));
    }
    QFile config(fonts.filePath("fonts.conf"));
    if (!config.open(QIODevice::WriteOnly))
        return 2;
    config.write(QString("<?xml version=\"1.0\"?><fontconfig><dir>%1</dir><cachedir>%2</cachedir>"
                         "</fontconfig>")
                     .arg(fonts.filePath("ttf"), fonts.filePath("cache"))
                     .toUtf8());
    config.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    WindowStyle::applyApplicationLook(app);
    LooksTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_looks.moc"
