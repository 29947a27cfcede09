#ifndef LINEREADER_H
#define LINEREADER_H

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTextStream>

// Why the file at path cannot be read whole within maxBytes: it is missing,
// no regular file (a FIFO would block the open, a device such as /dev/zero
// would never end), or larger than maxBytes. Empty when it can be read.
// Links are followed.
QString fileReadProblem(const QString &path, qint64 maxBytes);

// A text file read line by line, in the codec of every text file the system
// reads (a byte-order mark wins), with bounds a damaged or hostile file
// cannot break: only regular files of at most maxBytes are opened, and a
// line is looked at up to maxLineChars characters, the rest of it skipped.
class LineReader
{
    Q_DECLARE_TR_FUNCTIONS(LineReader)
public:
    LineReader(const QString &path, qint64 maxBytes);

    // Empty when the file is open for reading; otherwise the reason.
    QString open();
    // The next line (its head), false at the end of the file.
    bool next(QString &line);
    // 1 for the first line; the line that next() gave last.
    int lineNumber() const { return lines; }

    // Far more than any line of numbers needs.
    static constexpr int maxLineChars = 65536;
    // Bound of the chi(k) files: some hundred thousand points.
    static constexpr qint64 maxChiBytes = 16LL * 1024 * 1024;

private:
    QFile file;
    QTextStream in;
    qint64 limit;
    int lines = 0;
};

#endif
