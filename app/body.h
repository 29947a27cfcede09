#ifndef BODY_H
#define BODY_H

#include "app/paramtable.h"
#include "app/settings.h"

#include <QObject>
#include <QString>

class Gui;

// The application's spine: reads the configuration, derives the settings,
// owns the process queue and relays the jobs' messages to the main window.
// Exactly one lives on main()'s stack for the whole run.
class Body : public QObject
{
    Q_OBJECT
public:
    explicit Body(const ParamTable &args, QObject *parent = nullptr);
    ~Body() override;

    // Derives settings from params; creates the three working directories.
    void applySettings();
    static void makeDirs(const QString &cifDir, const QString &inpDir, const QString &resDir);

    // The configuration file named by the command line ("-c", then
    // "-config", else "config.cfg").
    static QString configFileName(const ParamTable &args);

    const Settings &currentSettings() const { return settings; }
    int maxProcesses() const { return maxProc; }
    Gui *mainWindow() const { return gui; }

signals:
    void finishing();
    void log(QString msg);

private:
    Gui *gui = nullptr; // no parent, never deleted: lives until the process ends
    ParamTable params;
    Settings settings;
    int maxProc = 0;
};

#endif
