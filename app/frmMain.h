#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class frmLegalPages;
class frmMass;

// The main menu: opens the legal-pages window (modeless, one instance), the bulk article window
// (modal) or ends the program.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);

    // The open working windows, or nullptr.
    frmLegalPages *legalPagesWindow() const;
    frmMass *bulkWindow() const;

public slots:
    void Command1_Click(); // "Add Legal Pages to Website"
    void vbtnLoad_Click(); // "Add Legal Terms to Articles (.txt)"
    void Command2_Click(); // "Close App"

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *Picture1;
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *Command1;
    QPushButton *vbtnLoad;
    QPushButton *Command2;

    QPointer<frmLegalPages> m_legalPages;
    QPointer<frmMass> m_bulk;
    // The bulk window's last output folder, kept while the program runs.
    QString m_bulkOutputFolder;
    bool m_centred = false;
};
