#include "controllib/QkFrame.h"

#include "app/Twips.h"

#include <QPainter>
#include <QToolButton>

QkFrame::QkFrame(QWidget *parent) : QFrame(parent), m_toggle(new QToolButton(this)) {
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    m_toggle->setObjectName(QStringLiteral("expandCollapse"));
    m_toggle->setAutoRaise(true);
    m_toggle->setFocusPolicy(Qt::NoFocus);
    m_toggle->setToolTip(tr("Open or close this panel"));
    connect(m_toggle, &QToolButton::clicked, this, &QkFrame::ExpandCollapse);
    applyGeometry();
}

void QkFrame::setExpanded(bool expanded) {
    m_expanded = expanded;
    applyGeometry();
}

void QkFrame::setSecondState(bool secondState) {
    m_secondState = secondState;
}

void QkFrame::setExpandedValue(int twips) {
    m_expandedValue = twips;
    applyGeometry();
}

void QkFrame::setTwipsGeometry(int left, int top, int width) {
    m_left = left;
    m_top = top;
    m_width = width;
    applyGeometry();
}

void QkFrame::setTopTwips(int top) {
    m_top = top;
    applyGeometry();
}

void QkFrame::applyGeometry() {
    Twips::place(this, m_left, m_top, m_width, heightTwips());
    m_toggle->setArrowType(m_expanded ? Qt::UpArrow : Qt::DownArrow);
    m_toggle->setGeometry(Twips::rect(m_width - 300, 60, 255, 255));
    m_toggle->raise();
    update();
}

void QkFrame::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    const QRect header(0, 0, width(), Twips::px(HeaderHeight));
    painter.fillRect(header, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(header.bottomLeft(), header.bottomRight());
    painter.end();
    QFrame::paintEvent(event);
}
