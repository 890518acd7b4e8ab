#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QToolButton;

// The control library's collapsible panel. Expanded, it shows all its contents at its stored
// expanded height; collapsed, only its header bar, 405 twips high, and the contents below the
// header are hidden, so the keyboard never reaches them. Its own expand/collapse button in the
// header takes the keyboard focus, is pressed with Space or Enter, and raises ExpandCollapse; the
// window decides which panel to open. Geometry is kept in twips, so a window can stack panels
// with the figures it was laid out with.
class QkFrame : public QFrame {
    Q_OBJECT
    Q_PROPERTY(bool Expanded READ Expanded WRITE setExpanded)
    Q_PROPERTY(bool SecondState READ SecondState WRITE setSecondState)
    Q_PROPERTY(int expandedvalue READ expandedValue WRITE setExpandedValue)
    Q_PROPERTY(int topTwips READ topTwips WRITE setTopTwips)
    Q_PROPERTY(int heightTwips READ heightTwips)

public:
    static constexpr int CollapsedHeight = 405; // twips
    static constexpr int HeaderHeight = 375;    // twips

    explicit QkFrame(QWidget *parent = nullptr);

    bool Expanded() const { return m_expanded; }
    void setExpanded(bool expanded);
    bool SecondState() const { return m_secondState; }
    void setSecondState(bool secondState);

    int expandedValue() const { return m_expandedValue; }
    void setExpandedValue(int twips);

    // Position and width in twips; the height follows Expanded.
    void setTwipsGeometry(int left, int top, int width);
    int topTwips() const { return m_top; }
    void setTopTwips(int top);
    int heightTwips() const { return m_expanded ? m_expandedValue : CollapsedHeight; }

    QToolButton *toggleButton() const { return m_toggle; }
    // The header's caption, which names the toggle for screen readers (without the arrow) and
    // shows its mnemonic. The mnemonic opens the panel as it moves the focus to the toggle.
    void setHeader(QLabel *caption);
    // What the header's status caption says ("Disabled", "2 Selected"): the toggle's description
    // for screen readers.
    void setStatus(const QString &status);

signals:
    void ExpandCollapse();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyGeometry();
    void showContents(bool shown);

    bool m_expanded = true;
    bool m_secondState = false;
    int m_expandedValue = 2000;
    int m_left = 0;
    int m_top = 0;
    int m_width = 4000;
    QToolButton *m_toggle;
    // The contents this panel hid when it closed; shown again when it opens.
    QList<QPointer<QWidget>> m_hidden;
};
