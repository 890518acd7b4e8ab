#include "widgets/TickBoxStyle.h"

#include "widgets/Contrast.h"

#include <QPainter>
#include <QStyleOption>

TickBoxStyle::TickBoxStyle(const QString &key) : QProxyStyle(key) {}

void TickBoxStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_IndicatorCheckBox && element != PE_IndicatorItemViewItemCheck)
        return;
    // What the box stands on: a list's base, or the window behind a check box.
    const QColor behind = option->palette.color(
        element == PE_IndicatorItemViewItemCheck ? QPalette::Base : QPalette::Window);
    const QColor outline = Contrast::readableOn(option->palette.color(QPalette::Mid), behind);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(outline);
    painter->setBrush(Qt::NoBrush);
    // Over the style's own outline, on the indicator's edge.
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
}
