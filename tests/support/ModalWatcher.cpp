#include "ModalWatcher.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>

ModalWatcher::ModalWatcher(std::function<void(QWidget *)> handler, int timeoutMs)
    : m_handler(std::move(handler)), m_before(QApplication::activeModalWidget()),
      m_remaining(timeoutMs) {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start();
}

void ModalWatcher::poll() {
    m_remaining -= m_timer.interval();
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != m_before && modal->isVisible()) {
        m_timer.stop();
        m_fired = true;
        m_handler(modal);
        return;
    }
    if (m_remaining <= 0)
        m_timer.stop();
}

bool ModalWatcher::wait(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!m_fired && !deadline.hasExpired() && m_timer.isActive())
        QTest::qWait(10);
    return m_fired;
}
