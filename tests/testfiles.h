#ifndef TESTFILES_H
#define TESTFILES_H

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <filesystem>
#include <signal.h>

// File helpers of the tests. Names go through Qt's own conversion
// (UTF-8 here); existsOnDisk asks the system with the UTF-8 bytes directly.

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool existsOnDisk(const QString &path)
{
    return std::filesystem::exists(std::filesystem::u8path(path.toUtf8().toStdString()));
}

// A chi(k) file as FEFF writes it: two header lines, the column line, and
// points k = 0, 0.5, ... 10 (an empty body when withData is false).
inline QByteArray chiFile(bool withData)
{
    QByteArray text =
        " fake results\n ------\n      k          chi          mag           phase @#\n";
    if (!withData)
        return text;
    for (int i = 0; i <= 20; ++i)
        text += QByteArray::number(0.5 * i) + "  " + QByteArray::number(0.01 * (i % 5) - 0.02) +
                "  0.1  0.0\n";
    return text;
}

// True when no process with this id exists any more (killed and reaped).
inline bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

// True when the process no longer runs: gone, or dead and waiting to be
// reaped. An orphan is reaped by init, which may take its time.
inline bool processEnded(qint64 pid)
{
    if (processGone(pid))
        return true;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return processGone(pid);
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')'); // the name in brackets may hold anything
    return close >= 0 && text.mid(close + 2, 1) == "Z";
}

// A fresh folder of the given name (the tests give names with blanks and
// non-ASCII letters) inside a temporary one that goes with the object. With
// enter it becomes the current folder. Either way the current folder of
// before comes back at the end: jobs that launch FEFF move the application
// into their own folders.
class WorkFolder
{
public:
    WorkFolder(const QString &name, bool enter) : folder(root.filePath(name))
    {
        ok = root.isValid() && QDir().mkpath(folder) && (!enter || QDir::setCurrent(folder));
    }
    ~WorkFolder() { QDir::setCurrent(saved); }
    bool isValid() const { return ok; }
    const QString &path() const { return folder; }

private:
    const QString saved = QDir::currentPath();
    QTemporaryDir root;
    const QString folder;
    bool ok = false;
};

#endif
