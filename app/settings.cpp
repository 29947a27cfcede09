#include "app/settings.h"

#include "app/textfuncs.h"

#include <QDir>

void Settings::setupEnvironment(const QString &ifeffit, const QString &cBin, const QString &perlBin,
                                const QString &perlSiteBin)
{
    ifeffitDir = ifeffit;
    cBinDir = cBin;
    perlBinDir = perlBin;
    perlSiteBinDir = perlSiteBin;

    environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DEMETER_BASE"), nativePath(demeterBase));
    environment.insert(QStringLiteral("IFEFFIT_DIR"), nativePath(ifeffitDir));

    const QChar sep = QDir::separator() == QLatin1Char('/') ? QLatin1Char(':') : QLatin1Char(';');
    QString path = environment.value(QStringLiteral("PATH"));
    if (path.endsWith(sep))
        path.chop(1);
    // An empty element would put the current directory on the search path.
    const QString head = path.isEmpty() ? QString() : path + sep;
    environment.insert(QStringLiteral("PATH"),
                       nativePath(head + cBinDir + sep + perlBinDir + sep + perlSiteBinDir));
}
