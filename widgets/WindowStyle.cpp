#include "widgets/WindowStyle.h"

#include "widgets/Contrast.h"
#include "widgets/TickBoxStyle.h"
#include "widgets/Twips.h"
#include "widgets/WindowFit.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>

namespace WindowStyle {

namespace {

// Presses the button that has the focus when Enter is pressed, as Space does.
class EnterPresses : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (button && button->isEnabled() && !key->isAutoRepeat() &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            button->click();
            return true;
        }
        return false;
    }
};

// What shows behind a widget that paints no background of its own.
QColor backgroundBehind(const QWidget *widget) {
    for (const QWidget *w = widget->parentWidget(); w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
    }
    return widget->palette().color(QPalette::Window);
}

// Keeps a layout's text colour readable on whatever the desktop's palette puts behind it.
class ReadableText : public QObject {
public:
    ReadableText(QWidget *widget, const QColor &wanted) : QObject(widget), m_wanted(wanted) {
        widget->installEventFilter(this);
        apply();
    }

    bool eventFilter(QObject *, QEvent *event) override {
        // Once every container has taken the new palette.
        if (event->type() == QEvent::ApplicationPaletteChange ||
            event->type() == QEvent::ParentChange)
            QMetaObject::invokeMethod(this, &ReadableText::apply, Qt::QueuedConnection);
        return false;
    }

private:
    void apply() {
        auto *widget = static_cast<QWidget *>(parent());
        QPalette palette = widget->palette();
        const QColor colour = Contrast::readableOn(m_wanted, backgroundBehind(widget));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, colour);
        widget->setPalette(palette);
    }

    QColor m_wanted;
};

// A text box's background of the layout on a light desktop; on a dark one the desktop's own
// base a shade lighter, so that a light grey box does not glare. Follows palette changes.
class BoxBackground : public QObject {
public:
    BoxBackground(QWidget *box, const QColor &light) : QObject(box), m_light(light) {
        box->installEventFilter(this);
        apply();
    }

    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::ApplicationPaletteChange)
            QMetaObject::invokeMethod(this, &BoxBackground::apply, Qt::QueuedConnection);
        return false;
    }

private:
    void apply() {
        auto *box = static_cast<QWidget *>(parent());
        const QPalette desktop = QApplication::palette(box);
        const QColor dark = desktop.color(QPalette::Base), text = desktop.color(QPalette::Text);
        const auto shade = [&](int rgb, int towards) { return rgb + (towards - rgb) / 10; };
        const QColor base =
            Contrast::luminance(dark) >= 0.18
                ? m_light
                : QColor(shade(dark.red(), text.red()), shade(dark.green(), text.green()),
                         shade(dark.blue(), text.blue()));
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Text,
                         Contrast::ratio(Qt::black, base) >= Contrast::ratio(Qt::white, base)
                             ? QColor(Qt::black)
                             : QColor(Qt::white));
        box->setPalette(palette);
    }

    QColor m_light;
};

// The flags a label draws its text with.
int textFlags(const QLabel *label) {
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    if (label->buddy())
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QRect textRect(const QLabel *label, const QFont &font) {
    return QFontMetrics(font).boundingRect(label->contentsRect(), textFlags(label), label->text());
}

QString withoutMnemonic(QString text) {
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    return text.replace(mnemonic, QStringLiteral("\\1"));
}

// The part of a label's box that no neighbour covers, in the label's coordinates. A neighbour
// that overlaps it mostly from the side cuts the room from that side, else from above or below;
// a neighbouring label stands in the way only with its text.
QRect freeRoom(const QLabel *label) {
    QRect room = label->contentsRect();
    const QWidget *parent = label->parentWidget();
    if (!parent)
        return room;
    for (const QWidget *other : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (other == label || other->isWindow())
            continue;
        const auto *otherLabel = qobject_cast<const QLabel *>(other);
        QRect obstacle = otherLabel ? textRect(otherLabel, otherLabel->font()) : other->rect();
        obstacle.translate(other->pos() - label->pos());
        const QRect overlap = room & obstacle;
        if (overlap.isEmpty())
            continue;
        if (double(overlap.width()) / room.width() < double(overlap.height()) / room.height()) {
            if (obstacle.center().x() > room.center().x())
                room.setRight(obstacle.left() - 1);
            else
                room.setLeft(obstacle.right() + 1);
        } else if (obstacle.center().y() > room.center().y()) {
            room.setBottom(obstacle.top() - 1);
        } else {
            room.setTop(obstacle.bottom() + 1);
        }
    }
    return room;
}

bool fits(const QWidget *widget, const QFont &font) {
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return freeRoom(label).contains(textRect(label, font));
    const auto *button = qobject_cast<const QAbstractButton *>(widget);
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect room = button->style()->subElementRect(qobject_cast<const QCheckBox *>(button)
                                                           ? QStyle::SE_CheckBoxContents
                                                           : QStyle::SE_PushButtonContents,
                                                       &option, button);
    return QFontMetrics(font).horizontalAdvance(withoutMnemonic(button->text())) <= room.width();
}

constexpr double SmallestPointSize = 6;
// The frame and margin a text field or drop-down keeps above and below its text, in pixels.
constexpr int FieldFrame = 3;

const char *const ExposedAsWindow = "cwExposedAsWindow";

QAccessibleInterface *windowInterface(const QString &className, QObject *object) {
    auto *window = qobject_cast<QWidget *>(object);
    if (window && window->property(ExposedAsWindow).toBool() &&
        className == QLatin1String(object->metaObject()->className()))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

} // namespace

void applyApplicationLook(QApplication &app) {
    QFont::insertSubstitutions(QStringLiteral("Verdana"),
                               {QStringLiteral("DejaVu Sans"), QString::fromLatin1(BodyFamily),
                                QStringLiteral("Sans Serif")});
    app.setFont(plain());
    app.setStyle(new TickBoxStyle(app.style()->name()));
}

QFont verdana(double pointSize, bool bold) {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont plain(bool bold) {
    // The windows were laid out for a narrow sans-serif; a wide one is shrunk where it would clip.
    QFont font;
    font.setFamilies({QString::fromLatin1(BodyFamily), QStringLiteral("Arial"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget *widget, const QColor &color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColor(QWidget *widget, const QColor &color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

void setOwnTextColor(QWidget *widget, const QColor &color) {
    new ReadableText(widget, color);
}

void setBoxBackground(QWidget *box, const QColor &color) {
    new BoxBackground(box, color);
}

void exposeAsWindow(QWidget *window) {
    static const bool installed = [] {
        QAccessible::installFactory(windowInterface);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(ExposedAsWindow, true);
}

void makeFixedWindow(QWidget *window, int clientWidthTwips, int clientHeightTwips) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (window->windowFlags().testFlag(Qt::Dialog))
        flags |= Qt::Dialog;
    window->setWindowFlags(flags);
    window->setFixedSize(Twips::size(clientWidthTwips, clientHeightTwips));
}

QPoint placement(const QSize &frame, const QRect &available) {
    const auto along = [](int size, int start, int room) {
        return size <= room ? start + (room - size) / 2 : start;
    };
    return {along(frame.width(), available.left(), available.width()),
            along(frame.height(), available.top(), available.height())};
}

void placeOnScreen(QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize frameMargins = window->frameGeometry().size() - window->size();
    WindowFit::scrollWhenTooLarge(window, screen->availableGeometry().size() - frameMargins);
    const QRect frame = window->frameGeometry();
    // move() places the frame's top-left corner.
    window->move(placement(frame.size(), screen->availableGeometry()));
}

QLabel *label(QWidget *parent, const char *objectName, const QString &caption, int left, int top,
              int width, int height, const QFont &font) {
    auto *widget = new QLabel(caption, parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setFont(font);
    widget->setWordWrap(true);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Twips::place(widget, left, top, width, height);
    return widget;
}

QPushButton *button(QWidget *parent, const char *objectName, const QString &caption, int left,
                    int top, int width, int height, const QFont &font) {
    static EnterPresses enterPresses;
    auto *widget = new QPushButton(caption, parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setFont(font);
    widget->setAutoDefault(false);
    widget->installEventFilter(&enterPresses);
    Twips::place(widget, left, top, width, height);
    return widget;
}

QWidget *band(QWidget *parent, const char *objectName, const QColor &color, int left, int top,
              int width, int height) {
    auto *widget = new QWidget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    setBackground(widget, color);
    Twips::place(widget, left, top, width, height);
    return widget;
}

QString nameFromCaption(const QString &caption) {
    QString name = withoutMnemonic(caption).simplified();
    if (name.startsWith(QLatin1Char('>')))
        name = name.mid(1).trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name;
}

void tie(QLabel *caption, QWidget *field) {
    caption->setBuddy(field);
    field->setAccessibleName(nameFromCaption(caption->text()));
}

void fitCaptions(QWidget *window) {
    QList<QWidget *> captions;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<QLabel *>(widget);
        const auto *button = qobject_cast<QAbstractButton *>(widget);
        if ((label && !label->text().isEmpty()) ||
            (button && !button->text().isEmpty() &&
             (qobject_cast<QPushButton *>(widget) || qobject_cast<QCheckBox *>(widget))))
            captions.append(widget);
    }
    // Text fields and drop-downs: the text's height fits the box at the desktop's font, or the
    // font is made smaller until it does.
    for (QWidget *field : window->findChildren<QWidget *>()) {
        if (!qobject_cast<QLineEdit *>(field) && !qobject_cast<QComboBox *>(field))
            continue;
        if (qobject_cast<QComboBox *>(field->parentWidget()))
            continue;
        const int room = field->height() - 2 * FieldFrame;
        QFont font = field->font();
        while (QFontMetrics(font).height() > room && font.pointSizeF() - 0.25 >= SmallestPointSize)
            font.setPointSizeF(font.pointSizeF() - 0.25);
        if (font != field->font())
            field->setFont(font);
    }
    for (QWidget *caption : std::as_const(captions)) {
        QFont font = caption->font();
        while (!fits(caption, font) && font.pointSizeF() - 0.25 >= SmallestPointSize)
            font.setPointSizeF(font.pointSizeF() - 0.25);
        if (font != caption->font())
            caption->setFont(font);
    }
}

} // namespace WindowStyle
