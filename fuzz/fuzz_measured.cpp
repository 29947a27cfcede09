// A measured chi(k) file as -data and the plot windows read it, checked
// against the default k range, then held against itself as a job would be:
// the transform and both agreement figures.
#include "chi/agreement.h"
#include "chi/chi.h"
#include "chi/measuredchi.h"
#include "fuzzinput.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string &path = writeFuzzInput(data, size, "-measured.chi");
    Chi chi;
    const QString problem = MeasuredChi::read(QString::fromStdString(path), chi, 3.0, 20.0);
    if (problem.isEmpty() != chi.hasChiK)
        std::abort(); // a refusal must leave no data, an acceptance some
    if (chi.hasChiK) {
        const TransformArgs args{3.0, 20.0, 0.0, 8.0, 0.01, FtOptions()};
        chi.transform(args);
        Agreement::compute(chi, chi, args, FitOptions());
    }
    return 0;
}
