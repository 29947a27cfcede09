#include "chi/resultfile.h"

#include "app/textfuncs.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextCodec>

namespace ResultFile {

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("it is a folder");
    QSaveFile file(path);
    // Unbuffered: a buffered QSaveFile meets a full disk only when commit()
    // flushes, and then renames the short file into place all the same.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

QString writeText(const QString &path, const QString &text)
{
    return writeBytes(path, encoded(text));
}

QByteArray encoded(const QString &text)
{
    QTextCodec *codec = fileTextCodec();
    return codec ? codec->fromUnicode(text) : text.toUtf8();
}

} // namespace ResultFile
