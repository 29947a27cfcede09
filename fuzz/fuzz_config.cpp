// A configuration file as start-up reads it: the table, then every lookup
// and conversion the settings are derived with (the derivation itself also
// makes the working folders, which a fuzzer must not do for each input).
#include "app/feffinp.h"
#include "app/paramtable.h"
#include "fuzzinput.h"

#include <QString>
#include <QtGlobal>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

const char *const textKeys[] = {"demeter_base", "PATH_PERL_BIN", "PATH_C_BIN", "IFEFFIT_DIR",
                                "PATH_PERL_SITE_BIN"};
const char *const exactKeys[] = {"CIF_FILES", "INP_FILES", "RES_FILES", "ATOMS_ARG",
                                 "ATOMS_EXE", "FEFF_ARG",  "FEFF_EXE"};
const char *const numberKeys[] = {"K_MIN",    "K_MAX",          "R_MIN",
                                  "R_MAX",    "R_DELTA",        "PROC_TIMEOUT",
                                  "MAX_PROC", "CLEAR_FEFF_DAT", "CLEAR_CHI_DAT"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qInstallMessageHandler(quiet);
    const std::string &path = writeFuzzInput(data, size, ".cfg");
    ParamTable params;
    params.readFile(QString::fromStdString(path));

    for (const char *key : textKeys)
        params.value(QString::fromLatin1(key), QString());
    for (const char *key : exactKeys) {
        const QString k = QString::fromLatin1(key);
        if (params.hasKey(k))
            (void)params.exactValue(k).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    for (const char *key : numberKeys) {
        const QString value = params.value(QString::fromLatin1(key), QStringLiteral("0"));
        value.toDouble();
        value.toInt(nullptr, 10);
    }

    FeffInpList feffInps;
    for (const QString &rest : params.rests(QStringLiteral("feff_inp"))) {
        putFeffInp(feffInps, parseFeffInp(rest));
        showFeffInps(feffInps);
    }
    // The program keeps its entries for the whole run; here each input
    // would otherwise leak them.
    qDeleteAll(feffInps);
    return 0;
}
