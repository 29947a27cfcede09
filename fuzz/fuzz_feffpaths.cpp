// FEFF's path files as a job reads them after FEFF: the first half of the
// input as files.dat, the second as paths.dat, then the identity of a few
// path files; and the whole input as a feffNNNN.dat, evaluated as the path
// model does on FEFF's k grid.
#include "chi/feffpaths.h"
#include "fit/feffpath.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const int half = int(size / 2);
    FeffPaths lists;
    lists.readFiles(QByteArray(bytes, half));
    lists.readPaths(QByteArray(bytes + half, int(size) - half));
    for (const char *name : {"chip0001.dat", "chip0002.dat", "chip9999.dat"})
        lists.identity(QString::fromLatin1(name));

    FeffPath path;
    QString problem;
    const bool parsed = path.parse(QByteArray(bytes, int(size)), &problem);
    if (!parsed && problem.isEmpty())
        std::abort(); // a failure must say why
    if (path.isValid()) {
        QVector<double> k;
        for (int i = 0; i <= 400; ++i)
            k.append(0.05 * i);
        PathParameters p;
        p.sigma2 = 0.003;
        p.de0 = 2.0;
        path.chi(k, p);
    }
    return 0;
}
