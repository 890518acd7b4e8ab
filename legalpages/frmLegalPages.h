#pragma once

#include "core/Catalogue.h"
#include "site/Facts.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class CatalogueList;
class DriveList;
class FileList;
class FolderList;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTextDocument;
class QkFrame;

// The legal-pages window: the user picks a web site's folder, ticks legal pages in the catalogue
// of page templates and types the site's name, address and e-mail; "Add Pages" writes one filled
// page per ticked entry and shows the home-page link code. Modeless, one instance; a fresh window
// is made each time it is opened after having been closed.
class frmLegalPages : public QWidget {
    Q_OBJECT

public:
    explicit frmLegalPages(QWidget *parent = nullptr);

    // The pages folder: the program folder + "/templates/pages", fixed when the window loads.
    QString pagesFolder() const { return m_pagesFolder; }
    // The link code of the last run (the hidden txtLinks), read by the link code window.
    QString linkCode() const;
    // Whether "Add Pages" is writing pages or showing their link code; closing the window then
    // lets it finish first.
    bool isRunning() const { return m_running; }

public slots:
    void lstDisclaimers_Click();
    void cmdCreatePages_Click();
    void Command1_Click();
    // Opens the Site Facts window for the chosen folder and ticked pages; with open facts the
    // pages need, on those questions.
    void cmdSiteFacts_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPickers();
    void buildPanel();
    void buildWorkingFields();
    void Form_Load();
    void UpdateSelectedCount();
    void Drive1_Change(const QString &root);
    void Dir1_Change(const QString &path);

    QWidget *Picture1;
    QLabel *Label3;
    QLabel *Label2;
    DriveList *Drive1;
    FolderList *Dir1;
    FileList *File1;
    QGroupBox *Frame1;
    QLabel *Label1;
    QkFrame *QkFrame1;
    QLabel *lblMenu;
    QLabel *lblLegalDisclaimersTooltip;
    CatalogueList *lstDisclaimers;
    QLabel *Label14;
    QPlainTextEdit *txtDisclaimerPreview;
    QLabel *Label5;
    QLineEdit *txtSiteName;
    QLabel *Label6;
    QLineEdit *txtSiteUrl;
    QLabel *Label7;
    QLineEdit *txtemail;
    QPushButton *cmdCreatePages;
    QPushButton *Command1;
    QPushButton *cmdSiteFacts;

    // The working fields of page generation: text held out of sight, no controls.
    QObject *frPageParser;
    QTextDocument *txtSelectedPolicy;
    QTextDocument *txtTargetFileContent;
    QTextDocument *txtLinks;

    QString m_pagesFolder;
    QList<CatalogueEntry> m_catalogue;
    // Set when the window could not list its catalogue; told once the window shows.
    QString m_loadError;
    bool m_centred = false;
    bool m_running = false;
    // Asked to close while pages were written: closes once the run has shown its link code.
    bool m_closeWhenDone = false;
    // The facts file the Site Facts window last used (empty: the default beside the site).
    QString m_factsPath;
    QPointer<class frmSiteFacts> m_siteFacts;

    void openSiteFacts(const QStringList &open);
    // After pages are written: the links and the consent banner the facts ask for (place.*)
    // go into the site's own pages, and a message says how it went.
    void placeIntoSite(const Facts &facts, const QStringList &written);
};
