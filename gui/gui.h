#ifndef GUI_H
#define GUI_H

#include "ui_gui.h"

#include <QList>
#include <QMainWindow>

class Demeter;
class QCloseEvent;

// The main window. Created by Body without a parent; lives until the
// process ends.
class Gui : public QMainWindow, private Ui_Gui
{
    Q_OBJECT
public:
    explicit Gui(QWidget *parent = nullptr);

    // Puts a new job's panel into the process list; the list's content
    // widget becomes its parent.
    void addDemeter(Demeter *job);
    const QList<Demeter *> &demeters() const { return jobs; }

signals:
    void finishing();
    void droppedCifFiles(QString path, QString url, QString scheme, QString host);
    void droppedFeffFiles(QString path, QString url, QString scheme, QString host);

private slots:
    void deleteANoticedDemeter();
    void deleteADemeter(int idx);
    void deleteAll();

public slots:
    void log(QString msg);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QList<Demeter *> jobs; // in the order they were added
};

#endif
