#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace Twips {

double logicalDpi() {
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInch();
    return 96.0;
}

int px(int twips) {
    return int(std::lround(twips * logicalDpi() / 1440.0));
}

QRect rect(int left, int top, int width, int height) {
    const int x0 = px(left);
    const int y0 = px(top);
    return QRect(x0, y0, px(left + width) - x0, px(top + height) - y0);
}

QSize size(int width, int height) {
    return QSize(px(width), px(height));
}

void place(QWidget *widget, int left, int top, int width, int height) {
    widget->setGeometry(rect(left, top, width, height));
}

} // namespace Twips
