#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

// Lets a window take a folder dragged onto it from a file manager: one local folder is accepted,
// and dropping it hands its path to open, which returns false when the window cannot take it now
// (then the drag is refused).
class FolderDrop : public QObject {
    Q_OBJECT

public:
    using Opener = std::function<bool(const QString &folder)>;
    // canTake tells whether the window takes a folder at the moment (not during a run).
    static void enable(QWidget *window, Opener open, std::function<bool()> canTake = {});

    // The one local folder that mime data names, or an empty text.
    static QString folderOf(const class QMimeData *mime);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FolderDrop(QWidget *window, Opener open, std::function<bool()> canTake);

    Opener m_open;
    std::function<bool()> m_canTake;
};
