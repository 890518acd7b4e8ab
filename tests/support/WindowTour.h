#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The program's windows as a user meets them, one scene each: the main menu, the bulk window with
// either panel open, the legal pages window and the link code window. Each scene opens its window
// shown and active, built from the data files in the build folder, and knows the controls Tab
// stops at, in order from the first focus; close them all with closeAll().
namespace WindowTour {

struct Scene {
    QString name;
    std::function<QWidget *()> open;
    QStringList tabStops;
    // The manual's heading that F1 opens it at; empty for its start.
    QString helpSection;
};

QList<Scene> scenes();
// Shows window and waits until it has the keyboard; returns it.
QWidget *showActive(QWidget *window);
void closeAll();

// A control's name for messages: its object name, or for a panel's own toggle the panel's name
// followed by "/toggle".
QString nameOf(const QWidget *widget);
// True when the whole control can be seen: it and its containers are shown and it lies inside
// every container it sits in.
bool wholeOnScreen(const QWidget *widget);
// The visible controls a user works with: buttons, tick boxes, text boxes, lists and drop-downs.
QList<QWidget *> controls(QWidget *window);

} // namespace WindowTour
