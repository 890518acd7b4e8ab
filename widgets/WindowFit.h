#pragma once

#include <QSize>

class QWidget;

// A window laid out at fixed positions that does not fit the screen (a doubled scale, a small
// screen) keeps its layout: its content moves, unchanged, into a scroll area that fills a window
// the screen can hold, and the scroll area follows the keyboard focus. Windows with a layout of
// their own are left alone.
namespace WindowFit {

// The window's laid-out size: its minimum size, which fixed windows hold at their client size.
// When that is larger than room (the screen's available area less the window frame) in either
// direction, wraps the content once and sizes the window to fit room. Returns true when the
// content scrolls.
bool scrollWhenTooLarge(QWidget *window, const QSize &room);

} // namespace WindowFit
