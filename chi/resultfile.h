#ifndef RESULTFILE_H
#define RESULTFILE_H

#include <QByteArray>
#include <QString>

// Writes a result file whole or not at all: the bytes go to a temporary
// file beside the target, which replaces the target only once every byte
// has been written and flushed. A failed write (no space, no permission,
// a folder in the way) leaves an existing file as it was and no partial
// file behind.
namespace ResultFile {

// Empty on success, otherwise the system's reason ("No space left on
// device"), without the file name.
QString writeBytes(const QString &path, const QByteArray &bytes);
// text encoded with the codec of every text file the system writes.
QString writeText(const QString &path, const QString &text);
// The bytes writeText() writes for text.
QByteArray encoded(const QString &text);

} // namespace ResultFile

#endif
