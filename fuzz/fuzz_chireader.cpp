// A FEFF chi(k) file as the jobs read it, then the transform every job runs
// on it with the configuration's defaults.
#include "chi/chi.h"
#include "fuzzinput.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string &path = writeFuzzInput(data, size, "-chi.dat");
    Chi chi;
    chi.readChiK(QString::fromStdString(path));
    if (chi.hasChiK)
        chi.transform(3.0, 20.0, 0.0, 8.0, 0.01);
    return 0;
}
