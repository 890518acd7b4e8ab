#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Layout values are kept in twips (1440 to the inch) and turned into pixels with the screen's
// logical DPI: at 96 DPI a pixel is 15 twips. Rectangles convert their edges, not their widths,
// so that controls that meet edge to edge still meet after rounding.
namespace Twips {

double logicalDpi();
int px(int twips);
QRect rect(int left, int top, int width, int height);
QSize size(int width, int height);
// Sets a widget's geometry from twips, relative to its parent.
void place(QWidget *widget, int left, int top, int width, int height);

} // namespace Twips
