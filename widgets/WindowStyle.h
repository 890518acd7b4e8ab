#pragma once

#include "widgets/Twips.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QApplication;
class QLabel;
class QPushButton;
class QWidget;

// Shared looks and the small builders the windows are made with. Positions are in twips.
namespace WindowStyle {

// The narrow sans-serif the windows are measured for; the Debian package depends on it.
inline constexpr const char *BodyFamily = "Liberation Sans";

// The application's fonts: "Verdana" falls back to a close sans-serif where it is not installed,
// and unnamed controls use the narrow body font.
void applyApplicationLook(QApplication &app);

QFont verdana(double pointSize, bool bold);
// The font of controls that name none: 8 pt of the body font, bold if asked.
QFont plain(bool bold = false);

// A fixed background with its text colour fixed too (both from the layout).
void setBackground(QWidget *widget, const QColor &color);
void setTextColor(QWidget *widget, const QColor &color);
// A text colour of the layout over the desktop's own background: kept where it reads (at least
// 4.5:1), otherwise made lighter or darker until it does, also when the desktop's colours change.
void setOwnTextColor(QWidget *widget, const QColor &color);
// A text box's background of the layout on a light desktop (the desktop's base a shade lighter on
// a dark one), with a text colour that reads on it.
void setBoxBackground(QWidget *box, const QColor &color);

// Shows a window built on a plain QWidget to screen readers as a window (a frame), where Qt would
// show a filler.
void exposeAsWindow(QWidget *window);

// A fixed-size window with a single border, a close box and no minimise or maximise buttons.
void makeFixedWindow(QWidget *window, int clientWidthTwips, int clientHeightTwips);
// Where a window of frame size goes on a screen's available area: centred where it fits, else
// with its top-left corner (and so its title bar) at the area's top-left.
QPoint placement(const QSize &frame, const QRect &available);
// Moves a window to its placement on the screen it is on; a window too large for the screen
// first gets its content in a scroll area (WindowFit).
void placeOnScreen(QWidget *window);

// A label or button named objectName, placed in twips inside parent. A button is pressed with
// Space or Enter when it has the focus.
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

// Ties a caption to its field: the caption's mnemonic moves the focus there, and the field is
// named after the caption for screen readers (without "&", ">" and a closing ":").
void tie(QLabel *caption, QWidget *field);
QString nameFromCaption(const QString &caption);

// Shrinks, in quarter points, the font of every caption in window whose text would not fit its
// box or would run into a neighbour, and of every text field or drop-down whose text is taller
// than its box; those that fit keep their font.
void fitCaptions(QWidget *window);

} // namespace WindowStyle
