#pragma once

#include "app/Twips.h"

#include <QColor>
#include <QFont>
#include <QString>

class QApplication;
class QLabel;
class QPushButton;
class QWidget;

// Shared looks and the small builders the windows are made with. Positions are in twips.
namespace WindowStyle {

// The application's fonts: "Verdana" falls back to a close sans-serif where it is not installed,
// and unnamed controls use a small sans-serif like the one the windows were laid out for.
void applyApplicationLook(QApplication &app);

QFont verdana(double pointSize, bool bold);
// The font of controls that name none: 8 pt, bold if asked.
QFont plain(bool bold = false);

void setBackground(QWidget *widget, const QColor &color);
void setTextColor(QWidget *widget, const QColor &color);

// A fixed-size window with a single border, a close box and no minimise or maximise buttons.
void makeFixedWindow(QWidget *window, int clientWidthTwips, int clientHeightTwips);
// Moves a window to the centre of the screen it is on.
void centreOnScreen(QWidget *window);

// A label or button named objectName, placed in twips inside parent.
QLabel *label(QWidget *parent, const char *objectName, const QString &caption, int left, int top,
              int width, int height, const QFont &font);
QPushButton *button(QWidget *parent, const char *objectName, const QString &caption, int left,
                    int top, int width, int height, const QFont &font);
// Names a new control and places it in twips inside its parent: placed(new QListWidget(this),
// "lstX", left, top, width, height).
template <class Control>
Control *placed(Control *control, const char *objectName, int left, int top, int width,
                int height) {
    control->setObjectName(QString::fromLatin1(objectName));
    Twips::place(control, left, top, width, height);
    return control;
}

// A coloured band (a picture box) placed in twips.
QWidget *band(QWidget *parent, const char *objectName, const QColor &color, int left, int top,
              int width, int height);

} // namespace WindowStyle
