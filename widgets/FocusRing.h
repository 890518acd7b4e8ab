#pragma once

#include <QWidget>

// A clear keyboard-focus mark for a list: a 2-pixel ring in the palette's highlight colour drawn
// just inside the list's frame while the list has the focus. It lies over the list, takes no
// input and changes nothing in the list's own look.
class FocusRing : public QWidget {
    Q_OBJECT

public:
    static constexpr int Width = 2;

    // Gives list a ring; it follows the list's size and focus from then on.
    static FocusRing *attach(QWidget *list);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit FocusRing(QWidget *list);
};
