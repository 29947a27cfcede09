// A measured file as dropped on a plot window: project, XDI or column file,
// each mu(E) spectrum then normalised and its background removed.
#include "data/athenaproject.h"
#include "data/columnfile.h"
#include "data/measureddata.h"
#include "data/xdifile.h"
#include "fuzzinput.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = QString::fromStdString(writeFuzzInput(data, size, "-data.xmu"));
    QVector<XafsSpectrum> spectra;
    QString problem;
    QByteArray text;
    if (!AthenaProject::readText(path, text, problem))
        return 0;
    if (AthenaProject::isProject(text)) {
        problem = AthenaProject::read(text, path, spectra);
    } else {
        QStringList lines;
        XafsSpectrum spectrum;
        if (!ColumnFile::readLines(path, lines, problem))
            return 0;
        if (XdiFile::isXdi(lines))
            problem = XdiFile::read(lines, path, spectrum);
        else if (!ColumnFile::read(lines, path, spectrum, problem))
            return 0;
        if (problem.isEmpty())
            spectra.append(spectrum);
    }
    for (const XafsSpectrum &s : qAsConst(spectra))
        if (!s.isChi)
            MeasuredData::reduce(s, s.params.over(MeasuredData::defaults()));
    return 0;
}
