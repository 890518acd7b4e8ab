#include "widgets/QkFrame.h"

#include "widgets/Twips.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace {

// The panel's toggle as a screen reader sees it: a button that opens a panel, telling whether the
// panel is open.
class PanelToggleAccessible : public QAccessibleWidget {
public:
    explicit PanelToggleAccessible(QWidget *toggle)
        : QAccessibleWidget(toggle, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        const auto *panel = qobject_cast<const QkFrame *>(widget()->parentWidget());
        state.expandable = true;
        state.expanded = panel && panel->Expanded();
        state.collapsed = !state.expanded;
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override {
        if (action == pressAction())
            static_cast<QToolButton *>(widget())->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *panelToggleInterface(const QString &, QObject *object) {
    auto *toggle = qobject_cast<QToolButton *>(object);
    if (toggle && qobject_cast<QkFrame *>(toggle->parentWidget()) &&
        toggle == static_cast<QkFrame *>(toggle->parentWidget())->toggleButton())
        return new PanelToggleAccessible(toggle);
    return nullptr;
}

} // namespace

QkFrame::QkFrame(QWidget *parent) : QFrame(parent), m_toggle(new QToolButton(this)) {
    static const bool accessibleToggles = [] {
        QAccessible::installFactory(panelToggleInterface);
        return true;
    }();
    Q_UNUSED(accessibleToggles);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    m_toggle->setObjectName(QStringLiteral("expandCollapse"));
    m_toggle->setAutoRaise(true);
    m_toggle->setFocusPolicy(Qt::TabFocus);
    m_toggle->setToolTip(tr("Open or close this panel"));
    m_toggle->installEventFilter(this);
    connect(m_toggle, &QToolButton::clicked, this, &QkFrame::ExpandCollapse);
    applyGeometry();
}

void QkFrame::setHeader(QLabel *caption) {
    caption->setBuddy(m_toggle);
    QString name = caption->text().remove(QLatin1Char('&')).simplified();
    if (name.startsWith(QLatin1Char('>')))
        name = name.mid(1).trimmed();
    m_toggle->setAccessibleName(name);
    caption->setAccessibleName(name);
}

void QkFrame::setStatus(const QString &status) {
    m_toggle->setAccessibleDescription(status);
}

void QkFrame::setExpanded(bool expanded) {
    const bool changed = expanded != m_expanded;
    m_expanded = expanded;
    applyGeometry();
    if (changed && QAccessible::isActive()) {
        QAccessible::State state;
        state.expanded = true;
        state.collapsed = true;
        QAccessibleStateChangeEvent event(m_toggle, state);
        QAccessible::updateAccessibility(&event);
    }
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
    // Right of the header's captions, which end 270 twips short of the panel's edge.
    m_toggle->setGeometry(Twips::rect(m_width - 255, 60, 240, 255));
    m_toggle->raise();
    showContents(m_expanded);
    update();
}

void QkFrame::showContents(bool shown) {
    if (shown) {
        for (const QPointer<QWidget> &widget : std::as_const(m_hidden)) {
            if (widget)
                widget->show();
        }
        m_hidden.clear();
        return;
    }
    // Everything below the header bar; the header's own captions stay.
    const int headerBottom = Twips::px(HeaderHeight);
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child != m_toggle && !child->isHidden() && child->y() >= headerBottom) {
            child->hide();
            m_hidden.append(child);
        }
    }
}

bool QkFrame::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_toggle) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            update(); // the header shows where the focus is
        // The header's mnemonic clicks the toggle a moment after it takes the focus: open the
        // panel now, so that a screen reader announces it open.
        if (event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent *>(event)->reason() == Qt::ShortcutFocusReason && !m_expanded)
            emit ExpandCollapse();
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_toggle->click();
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void QkFrame::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    const QRect header(0, 0, width(), Twips::px(HeaderHeight));
    painter.fillRect(header, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(header.bottomLeft(), header.bottomRight());
    if (m_toggle->hasFocus()) {
        // The whole header shows the keyboard focus, not just the small toggle.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(header).adjusted(1, 1, -1, -1));
    }
    painter.end();
    QFrame::paintEvent(event);
}
