#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Deals with a modal window that a click is about to open, so that no test waits on one.
// Arm it before the click: every 10 ms it looks for a visible modal window other than the ones
// open when it was armed, and runs the handler on it once (read it, click a button, close it).
// If none comes within the time limit it gives up; fired() tells whether it ran.
class ModalWatcher : public QObject {
    Q_OBJECT

public:
    explicit ModalWatcher(std::function<void(QWidget *)> handler, int timeoutMs = 10000);
    bool fired() const { return m_fired; }
    // Waits (processing events) until the handler ran or the time limit passed.
    bool wait(int timeoutMs = 10000);

private:
    void poll();

    std::function<void(QWidget *)> m_handler;
    QPointer<QWidget> m_before;
    QTimer m_timer;
    int m_remaining;
    bool m_fired = false;
};
