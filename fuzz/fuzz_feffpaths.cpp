// FEFF's path lists as a job reads them after FEFF: the first half of the
// input as files.dat, the second as paths.dat, then the identity of a few
// path files.
#include "chi/feffpaths.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const int half = int(size / 2);
    FeffPaths lists;
    lists.readFiles(QByteArray(bytes, half));
    lists.readPaths(QByteArray(bytes + half, int(size) - half));
    for (const char *name : {"chip0001.dat", "chip0002.dat", "chip9999.dat"})
        lists.identity(QString::fromLatin1(name));
    return 0;
}
