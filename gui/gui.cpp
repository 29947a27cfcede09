#include "gui/gui.h"

#include <QCloseEvent>
#include <QDebug>

Gui::Gui(QWidget *parent) : QMainWindow(parent)
{
    setupUi(this);
}

void Gui::log(QString msg)
{
    qDebug() << msg;
    LogMsg->insertPlainText(msg + QLatin1Char('\n'));
}

void Gui::closeEvent(QCloseEvent *event)
{
    emit finishing();
    QMainWindow::closeEvent(event);
}
