#include "chi/linereader.h"

#include "app/textfuncs.h"

#include <QFileInfo>

#include <sys/stat.h>

QString fileReadProblem(const QString &path, qint64 maxBytes)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return LineReader::tr("it does not exist or can not be reached");
    if (S_ISDIR(info.st_mode))
        return LineReader::tr("it is a folder");
    if (!S_ISREG(info.st_mode))
        return LineReader::tr("it is no regular file (a pipe or a device)");
    if (info.st_size > maxBytes)
        return LineReader::tr("it is larger than %1 MB").arg(maxBytes / (1024 * 1024));
    return QString();
}

LineReader::LineReader(const QString &path, qint64 maxBytes) : file(path), limit(maxBytes) {}

QString LineReader::open()
{
    const QString problem = fileReadProblem(file.fileName(), limit);
    if (!problem.isEmpty())
        return problem;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return file.errorString();
    in.setDevice(&file);
    useFileCodec(in);
    return QString();
}

bool LineReader::next(QString &line)
{
    // A file that grows while it is read ends at the limit all the same.
    if (file.pos() > limit || !in.readLineInto(&line, maxLineChars))
        return false;
    ++lines;
    if (line.size() == maxLineChars) {
        QString rest;
        while (in.readLineInto(&rest, maxLineChars) && rest.size() == maxLineChars) {
            if (file.pos() > limit)
                break;
        }
    }
    return true;
}
