#ifndef SIGNALWATCHER_H
#define SIGNALWATCHER_H

#include <QObject>

#include <signal.h>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal on the main thread. The handler
// only writes the signal number into a pipe (the one thing it may safely do);
// a socket notifier reads it from the event loop. At most one watcher exists
// at a time; the previous handlers come back when it is destroyed.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    // False when the pipe or the handlers could not be set up; the signals
    // then keep their previous handling.
    bool isActive() const { return notifier != nullptr; }

    // "SIGINT", "SIGTERM" or the number.
    static QString signalName(int signo);
    // Whether a watched signal has arrived since start-up. For work that
    // blocks the event loop (a synchronous program run) and must give way
    // at once; the watcher still reports the signal once the loop runs.
    static bool signalArrived();

signals:
    void caught(int signo);

private:
    void readPipe();
    static void handler(int signo);

    int fds[2] = {-1, -1};
    QSocketNotifier *notifier = nullptr;
    struct sigaction oldInt = {};
    struct sigaction oldTerm = {};
};

#endif
