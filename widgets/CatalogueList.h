#pragma once

#include "core/Catalogue.h"

#include <QListWidget>

// A list of catalogue entries, each with a tick box. Every entry remembers the file it was listed
// from. Clicking an entry, ticking or unticking it (by mouse or keyboard) or moving to it makes it
// the current entry and raises Click; so does makeCurrent, which code uses to walk the list as a
// user would. The handling of Click may run more than once for one action.
//
// Ctrl+A ticks every entry and Ctrl+Shift+A unticks them all, as do "Tick All" and "Untick All"
// in the list's context menu; the current entry stays, and Click is raised once (a window tells
// the new count as the list's description). Screen readers hear each entry as "checked" or "not
// checked", and a change of either.
class CatalogueList : public QListWidget {
    Q_OBJECT

public:
    explicit CatalogueList(QWidget *parent = nullptr);

    // Lists the entries, none ticked and none current, without raising Click.
    void setEntries(const QList<CatalogueEntry> &entries);
    // The entry of a row: its name as listed and the file it came from.
    CatalogueEntry entry(int row) const;
    bool isTicked(int row) const;
    int tickedCount() const;
    QList<CatalogueEntry> tickedEntries() const;
    // Makes row the current entry, ticks unchanged, and raises Click even when it was current.
    void makeCurrent(int row);
    // Ticks or unticks every entry.
    void tickAll(bool ticked);

signals:
    void Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Tells screen readers the entry's state, as its description, and that it changed.
    void describe(QListWidgetItem *item, bool announce);
};
