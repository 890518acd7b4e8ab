#pragma once

#include <QWidget>

// The legal-pages window: writes legal pages into a web site's folder. Modeless, one instance.
class frmLegalPages : public QWidget {
    Q_OBJECT

public:
    explicit frmLegalPages(QWidget *parent = nullptr);

private:
    void Form_Load();
};
