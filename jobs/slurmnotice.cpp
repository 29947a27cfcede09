#include "jobs/slurmnotice.h"

#include <QRegularExpression>

namespace {

// Far longer than any notice: a longer line without a break is cut.
constexpr int maxLine = 4096;

} // namespace

void SlurmNotice::feed(const QByteArray &output)
{
    if (cancelled())
        return;
    int from = 0;
    for (int end = output.indexOf('\n'); end >= 0; end = output.indexOf('\n', from)) {
        partial += output.mid(from, end - from);
        scanLine(partial);
        partial.clear();
        from = end + 1;
    }
    partial += output.mid(from);
    if (partial.size() > maxLine)
        partial = partial.right(maxLine);
}

void SlurmNotice::scanLine(const QByteArray &line)
{
    if (!line.contains("CANCELLED AT"))
        return;
    static const QRegularExpression pattern(
        QStringLiteral("\\*\\*\\* ((?:STEP|JOB) \\S+ ON \\S+ CANCELLED AT \\S+.*?) \\*\\*\\*"));
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(line));
    if (match.hasMatch())
        notice = match.captured(1);
}

void SlurmNotice::clear()
{
    partial.clear();
    notice.clear();
}
