#include "widgets/FocusRing.h"

#include <QEvent>
#include <QPainter>

FocusRing *FocusRing::attach(QWidget *list) {
    return new FocusRing(list);
}

FocusRing::FocusRing(QWidget *list) : QWidget(list) {
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(list->rect());
    setVisible(list->hasFocus());
    list->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parent()) {
        switch (event->type()) {
        case QEvent::Resize:
            setGeometry(parentWidget()->rect());
            break;
        case QEvent::FocusIn:
            setVisible(true);
            raise();
            break;
        case QEvent::FocusOut:
            setVisible(false);
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Active, QPalette::Highlight), Width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(Width / 2.0, Width / 2.0, -Width / 2.0, -Width / 2.0));
}
