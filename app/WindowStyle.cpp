#include "app/WindowStyle.h"

#include "app/Twips.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace WindowStyle {

void applyApplicationLook(QApplication &app) {
    QFont::insertSubstitutions(QStringLiteral("Verdana"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Sans Serif")});
    app.setFont(plain());
}

QFont verdana(double pointSize, bool bold) {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont plain(bool bold) {
    // The windows were laid out for a narrow sans-serif; a wide one would clip their captions.
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
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

void makeFixedWindow(QWidget *window, int clientWidthTwips, int clientHeightTwips) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (window->windowFlags().testFlag(Qt::Dialog))
        flags |= Qt::Dialog;
    window->setWindowFlags(flags);
    window->setFixedSize(Twips::size(clientWidthTwips, clientHeightTwips));
}

void centreOnScreen(QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
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
    auto *widget = new QPushButton(caption, parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setFont(font);
    widget->setAutoDefault(false);
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

} // namespace WindowStyle
