#pragma once

#include "bulk/BulkData.h"
#include "bulk/SynonymPreload.h"

#include <QDialog>
#include <QPointer>
#include <QString>

class BatchWorker;
class DriveList;
class FileList;
class FolderList;
class LogView;
class CatalogueList;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class QkFrame;
struct BatchJob;

// The bulk article window: adds a product recommendation and legal disclaimers to every article
// of a folder. Shown modally from the main menu. The window only gathers the user's choices and
// shows progress; the rules live in BatchJob, BatchRun and their helpers, and a run works through
// the articles on a thread of its own.
class frmMass : public QDialog {
    Q_OBJECT

public:
    // outputFolder is the folder of the last run; it outlives the window.
    explicit frmMass(QString &outputFolder, QWidget *parent = nullptr);
    ~frmMass() override;

    bool isRunning() const { return m_worker != nullptr; }
    // The log as written, lines joined with CR LF.
    QString logText() const;

    void SelectPanel(int index);
    void lblMenu_Click(int index);
    void QkFrameMenu_ExpandCollapse(int index);
    void Drive1_Change(const QString &root);
    void Dir1_Change();
    void UpdateFilesFound();
    void lstDisclaimers_Click();
    void UpdateSelectedCount();
    void txtLinkText_Change();
    void Command1_Click(); // "Open Output Folder"
    void Command2_Click(); // "Close"
    void vbtnLoad_Click(); // "Begin Process"
    void Timer1_Timer();
    void tmrPleaseWait_Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;

private:
    void buildBanner();
    void buildFolderColumn();
    void buildRecommendationPanel();
    void buildDisclaimerPanel();
    void buildRunControls();
    void Form_Load();

    BatchJob snapshot() const;
    void appendLog(const QString &line);
    void setRunning(bool running);
    void articlesDone(int done, int total, const QStringList &logLines);
    void runFinished(int failures, int done, bool stopped);
    // Asked when the window is closed during a run: stops the run, then closes the window.
    void askToStop();
    void stopRun();

    QString &OutputFolder;
    BulkData m_data;
    SynonymPreload m_synonyms;
    QString m_loadProblems;
    QString m_sponsor; // the sponsor's name given last, offered again
    bool m_shown = false;
    bool m_stopping = false; // the user asked to stop the run and close the window
    bool m_asking = false;   // "Stop the Run?" is open
    int m_logLines = 0;      // the article lines of the run at hand: written or failed
    QPointer<QWidget> m_focusBeforeRun;

    QWidget *Picture2;
    QLabel *lblAppName;
    QLabel *lblPleaseWait;
    QLabel *Label6;
    DriveList *Drive1;
    FolderList *Dir1;
    FileList *File1;
    QGroupBox *Frame1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label8;
    QLabel *Label3;
    QLabel *lblFilesFound;

    QkFrame *QkFrameMenu[2];
    QLabel *lblMenu[2];
    QLabel *lblProductRecommendationsTooltip;
    QLabel *Label9;
    QCheckBox *chkBegins;
    QCheckBox *chkCenter1;
    QCheckBox *chkEnds;
    QCheckBox *chkCenter2;
    QLabel *Label10;
    QLineEdit *txtBenefit;
    QLabel *Label11;
    QLineEdit *txtUrl;
    QLabel *Label12;
    QLineEdit *txtLinkText;
    QLabel *Label13;
    QLabel *lblLegalDisclaimersTooltip;
    CatalogueList *lstDisclaimers;
    QLabel *Label14;
    QPlainTextEdit *txtDisclaimerPreview;

    QPushButton *vbtnLoad;
    QPushButton *Command1;
    QLabel *Label5;
    QProgressBar *prgRun;
    LogView *txtLog;
    QPushButton *Command2;

    QTimer *Timer1;
    QTimer *tmrPleaseWait;

    QThread *m_thread = nullptr;
    BatchWorker *m_worker = nullptr;
};
