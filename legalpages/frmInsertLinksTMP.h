#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class frmLegalPages;

// The last step of adding legal pages: shows the home-page link code of the legal-pages window's
// last run, copies it to the clipboard, and closes itself together with that window. Shown modally.
class frmInsertLinksTMP : public QDialog {
    Q_OBJECT

public:
    explicit frmInsertLinksTMP(frmLegalPages *legalPages, QWidget *parent = nullptr);

public slots:
    void cmdCopyToClipboard_Click();
    void cmdClose_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QPlainTextEdit *txtLinks;
    QPushButton *cmdCopyToClipboard;
    QPushButton *cmdClose;

    QPointer<frmLegalPages> m_legalPages;
    bool m_centred = false;
};
