// Benchmark, not a test: the memory a finished job costs in the main window.
// Starts Scatterdeck's window in the current working folder (config.cfg, an
// empty CIF folder), measures the resident memory of the empty window, hands
// it every CIF file of the folder given on the command line as a drop,
// waits until every job has ended, and measures again; then "Del. All" and
// once more. Prints the resident memory at each point, the peak, and the
// memory per job above the empty window.
//   bench_window_memory CIF_FOLDER
// bench/window_memory.sh lays out the folder and runs it on a virtual display.
#include "app/body.h"
#include "app/paramtable.h"
#include "gui/gui.h"
#include "jobs/jobcounter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTextStream>
#include <QThread>
#include <QUrl>

namespace {

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Lets the window settle: posted events, deferred deletes, repaints.
void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: bench_window_memory CIF_FOLDER\n";
        return 2;
    }
    const QDir cifs(QString::fromLocal8Bit(argv[1]));
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const QStringList names = cifs.entryList({QStringLiteral("*.cif")}, QDir::Files, QDir::Name);
    const char *bodyArgs[] = {"scatterdeck", "-e"};
    Body body(ParamTable(2, bodyArgs));
    Gui *gui = body.mainWindow();
    settle(2000);
    const long empty = statusKb("VmRSS");

    QElapsedTimer clock;
    clock.start();
    for (const QString &name : names) {
        const QString path = cifs.absoluteFilePath(name);
        emit gui->droppedCifFiles(path, QUrl::fromLocalFile(path).toString(),
                                  QStringLiteral("file"), QString());
    }
    const JobCounter *counter = gui->jobCounter();
    while (counter->count(JobCounter::Queued) + counter->count(JobCounter::Running) > 0)
        settle(200);
    settle(2000);
    const long finished = statusKb("VmRSS");
    const int failed = counter->count(JobCounter::Failed);
    const double seconds = clock.elapsed() / 1000.0;

    QMetaObject::invokeMethod(gui, "deleteAll");
    settle(3000);
    const long deleted = statusKb("VmRSS");
    const long peak = statusKb("VmHWM");
    const int n = std::max(1, int(names.size()));

    QTextStream out(stdout);
    out << "jobs " << names.size() << " (failed " << failed << ") in " << seconds << " s\n"
        << "empty window    " << empty << " kB\n"
        << "jobs finished   " << finished << " kB  (" << (finished - empty) / double(n)
        << " kB per job)\n"
        << "after Del. All  " << deleted << " kB  (" << (deleted - empty) / double(n)
        << " kB per job left)\n"
        << "peak            " << peak << " kB\n";
    delete gui;
    return 0;
}
