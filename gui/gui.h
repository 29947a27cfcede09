#ifndef GUI_H
#define GUI_H

#include "ui_gui.h"

#include <QMainWindow>

class QCloseEvent;

// The main window. Created by Body without a parent; lives until the
// process ends.
class Gui : public QMainWindow, private Ui_Gui
{
    Q_OBJECT
public:
    explicit Gui(QWidget *parent = nullptr);

signals:
    void finishing();
    void droppedCifFiles(QString path, QString url, QString scheme, QString host);
    void droppedFeffFiles(QString path, QString url, QString scheme, QString host);

public slots:
    void log(QString msg);

protected:
    void closeEvent(QCloseEvent *event) override;
};

#endif
