#pragma once

#include "core/Catalogue.h"
#include "legalpages/SiteFacts.h"
#include "legalpages/SiteFactsSession.h"

#include <QDialog>
#include <QMap>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QWidget;

// The Site Facts window: what the scan found on the site's pages (service, category, where),
// the facts that contradict it, every question of the facts file with its answer (prefilled,
// editable), the review notes of each ticked page as a checklist, what goes into the site's own
// pages (links, the pages' look, a consent banner) with its removal, and the facts file's saving.
// Resizable, with ordinary layouts; every control is named for screen readers.
class frmSiteFacts : public QDialog {
    Q_OBJECT

public:
    // The site, the program's data folder, the ticked pages and the site fields of the legal
    // pages window. The facts are read from factsPath (the default beside the site when empty).
    frmSiteFacts(const QString &siteFolder, const QString &dataFolder,
                 const QList<CatalogueEntry> &pages, const ::SiteFacts &site,
                 const QString &factsPath = QString(), QWidget *parent = nullptr);

    const SiteFactsSession &session() const { return m_session; }
    // Marks these questions as open ones the pages need and puts the focus on the first.
    void showOpen(const QStringList &keys);
    // An answer was changed since the facts file was read or saved.
    bool isModified() const { return m_modified; }

public slots:
    // Saves to the facts file's path; "Save As" asks for one first.
    bool save();
    bool saveAs();

private:
    QWidget *buildQuestions();
    QWidget *buildScan();
    QWidget *buildReview();
    QWidget *buildPlacement();
    void removeFromSite();
    void answerEdited(const QString &key);
    void refresh();
    bool saveTo(const QString &path);
    // However the window closes (Close, Escape, its close box), changed answers may be saved.
    void done(int result) override;

    SiteFactsSession m_session;
    QString m_pagesFolder;
    QList<CatalogueEntry> m_pages;
    QTabWidget *m_tabs;
    QLabel *m_status;
    QLineEdit *m_path;
    QMap<QString, QWidget *> m_editors;
    QMap<QString, QLabel *> m_captions;
    QTreeWidget *m_found;
    QListWidget *m_contradictions;
    QTreeWidget *m_review;
    QPushButton *m_save;
    bool m_modified = false;
    QString m_unreadable; // the facts file that could not be read, until saved over
    QCheckBox *m_placeLinks;
    QLineEdit *m_placeLayout;
    QCheckBox *m_placeConsent;
};
