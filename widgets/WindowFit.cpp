#include "widgets/WindowFit.h"

#include <QApplication>
#include <QLayout>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

namespace WindowFit {

bool scrollWhenTooLarge(QWidget *window, const QSize &room) {
    if (window->findChild<QScrollArea *>(QStringLiteral("windowScroller"),
                                         Qt::FindDirectChildrenOnly)) {
        window->resize(window->size().boundedTo(room));
        return true;
    }
    const QSize laidOut = window->minimumSize();
    if (window->layout() || laidOut.isEmpty() ||
        (laidOut.width() <= room.width() && laidOut.height() <= room.height()))
        return false;

    // The scroll area and its content first, inside the window, so that the controls stay in
    // the same window as they move and keep their tab order.
    QList<QWidget *> controls;
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            controls.append(child);
    }
    auto *scroller = new QScrollArea(window);
    scroller->setObjectName(QStringLiteral("windowScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("windowContent"));
    content->setFixedSize(laidOut);
    scroller->setWidget(content);
    for (QWidget *control : std::as_const(controls)) {
        const bool hidden = control->isHidden();
        control->setParent(content);
        control->setVisible(!hidden);
    }
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroller);
    // At once, not when the layout gets round to it: the window is being shown, and a control
    // given the focus now must be visible to take it.
    scroller->show();

    // Small enough for the screen, no larger than the content and its scroll bars.
    const int bar = scroller->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    window->setMinimumSize(QSize(160, 120).boundedTo(room));
    window->setMaximumSize(laidOut + QSize(bar, bar));
    window->resize(laidOut.boundedTo(room));

    // A control that takes the focus, by Tab or by its mnemonic, is scrolled into view.
    const QPointer<QScrollArea> guard(scroller);
    QObject::connect(qApp, &QApplication::focusChanged, scroller,
                     [guard, content](QWidget *, QWidget *now) {
                         if (guard && now && content->isAncestorOf(now))
                             guard->ensureWidgetVisible(now, 8, 8);
                     });
    return true;
}

} // namespace WindowFit
