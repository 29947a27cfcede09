#ifndef SMALLDISK_H
#define SMALLDISK_H

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

// A tmpfs of a few dozen kilobytes mounted for one test: a disk that fills
// up, or with readOnly one that takes no file at all. Only root may mount
// it; elsewhere skipReason() says why it is not there and the test skips.
// Unmounted (lazily, so that a file still open does not keep it) when the
// object goes.
class SmallDisk
{
public:
    explicit SmallDisk(bool readOnly = false)
    {
        if (::geteuid() != 0) {
            reason = QStringLiteral("mounting a small tmpfs needs root");
            return;
        }
        if (!dir.isValid()) {
            reason = QStringLiteral("no temporary folder");
            return;
        }
        const QByteArray target = QFile::encodeName(dir.path());
        if (::mount("tmpfs", target.constData(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=64k") !=
            0) {
            reason = QStringLiteral("mount of a tmpfs failed: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        mounted = true;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    // Empty when the disk is there.
    QString skipReason() const { return reason; }
    QString path() const { return dir.path(); }
    // Writes a file of zeros until no byte more fits; true when the disk is
    // then full.
    bool fill() const
    {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, '\0');
        while (filler.write(block) == block.size()) {
        }
        return filler.write("x", 1) != 1;
    }

private:
    QTemporaryDir dir;
    QString reason;
    bool mounted = false;
};

#define SKIP_WITHOUT(disk)                                                                         \
    if (!(disk).skipReason().isEmpty())                                                            \
    QSKIP(qPrintable((disk).skipReason()))

#endif
