#pragma once

#include <QProxyStyle>

// The desktop's own style, with the outline of an unticked tick box (a check box's, or a list
// entry's) drawn clearly enough to be seen against its row: at least 3:1, where styles such as
// Fusion draw it at about 1.6:1.
class TickBoxStyle : public QProxyStyle {
    Q_OBJECT

public:
    // The style named key (as QStyleFactory knows it) with clear tick boxes.
    explicit TickBoxStyle(const QString &key);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};
