#include "app/signalwatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Written by the handler; -1 while no watcher exists.
volatile sig_atomic_t writeFd = -1;
volatile sig_atomic_t arrived = 0;

} // namespace

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent)
{
    // Close-on-exec: the programs the jobs start must not inherit the pipe.
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        fds[0] = fds[1] = -1;
        return;
    }
    writeFd = fds[1];
    struct sigaction action = {};
    action.sa_handler = &SignalWatcher::handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &oldInt);
    ::sigaction(SIGTERM, &action, &oldTerm);
    notifier = new QSocketNotifier(fds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalWatcher::readPipe);
}

SignalWatcher::~SignalWatcher()
{
    if (fds[0] < 0)
        return;
    ::sigaction(SIGINT, &oldInt, nullptr);
    ::sigaction(SIGTERM, &oldTerm, nullptr);
    writeFd = -1;
    ::close(fds[0]);
    ::close(fds[1]);
}

void SignalWatcher::handler(int signo)
{
    const int savedErrno = errno;
    arrived = 1;
    const char byte = char(signo);
    if (writeFd >= 0 && ::write(writeFd, &byte, 1) < 0) {
        // A full pipe already holds enough to wake the watcher.
    }
    errno = savedErrno;
}

bool SignalWatcher::signalArrived()
{
    return arrived != 0;
}

void SignalWatcher::readPipe()
{
    char bytes[16];
    ssize_t n;
    while ((n = ::read(fds[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            emit caught(int(bytes[i]));
    }
}

QString SignalWatcher::signalName(int signo)
{
    switch (signo) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    default:
        return QString::number(signo);
    }
}
