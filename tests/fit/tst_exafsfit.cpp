#include "app/textfuncs.h"
#include "chi/chi.h"
#include "chi/measuredchi.h"
#include "fit/exafsfit.h"
#include "fit/fitreport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

// The path fit against X-ray Larch's feffit of the same model on real
// measured spectra (larch_fits.py, larch_fits.txt): copper foil at 10 K and
// 150 K and manganese oxide, each with the paths of its own structure and of
// a wrong one, and a two-folder group.
// One reference fit: every line of its block by its first word ("param"
// and "model" lines, which repeat, in order).
using Reference = QMultiHash<QString, QStringList>;
Q_DECLARE_METATYPE(Reference)

class TestExafsFit : public QObject
{
    Q_OBJECT
private slots:
    void againstReference_data();
    void againstReference();
    void refused_data();
    void refused();
    void filesWritten();
};

// The blocks "case NAME" ... "end" of the reference file.
static QVector<Reference> references()
{
    QFile file(QStringLiteral(FIT_TEST_DATA "/larch_fits.txt"));
    QVector<Reference> out;
    Reference r;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    while (!file.atEnd()) {
        const QStringList f = QString::fromLatin1(file.readLine()).simplified().split(' ');
        if (f.first() == QLatin1String("end"))
            out.append(r);
        else if (f.first() == QLatin1String("case"))
            r.clear();
        r.insert(f.first(), f.mid(1));
    }
    return out;
}

// The values of a repeated key in file order (QMultiHash lists the last first).
static QVector<QStringList> all(const Reference &r, const char *key)
{
    QVector<QStringList> v = r.values(QLatin1String(key)).toVector();
    std::reverse(v.begin(), v.end());
    return v;
}

static MeasuredCurve measured(const QString &file)
{
    Chi chi;
    const QString path = QStringLiteral(FIT_TEST_DATA "/") + file;
    MeasuredChi::read(path, chi);
    return MeasuredCurve{path, chi.k, chi.chi};
}

static double number(const Reference &r, const char *key)
{
    return r.value(QLatin1String(key)).value(0).toDouble();
}

void TestExafsFit::againstReference_data()
{
    QTest::addColumn<Reference>("ref");
    const QVector<Reference> cases = references();
    QVERIFY(cases.size() >= 7);
    for (const Reference &r : cases)
        QTest::newRow(qPrintable(r.value("case").value(0))) << r;
}

void TestExafsFit::againstReference()
{
    QFETCH(Reference, ref);
    QVector<QPair<QString, double>> folders;
    for (const QString &fw : ref.value("folders"))
        folders.append({QStringLiteral(FIT_TEST_DATA "/") + fw.section(':', 0, 0),
                        fw.section(':', 1).toDouble()});
    const QStringList set = ref.value("settings");
    FitSettings settings;
    settings.kMin = set[0].toDouble();
    settings.kMax = set[1].toDouble();
    settings.dk = set[2].toDouble();
    settings.kWeight = set[3].toInt();
    settings.rMin = set[4].toDouble();
    settings.rMax = set[5].toDouble();
    const FitResult fit =
        ExafsFit::fitGroup(folders, measured(ref.value("data").value(0)), settings);
    QVERIFY2(fit.valid, qPrintable(fit.reason));
    QStringList paths;
    for (int p : fit.paths)
        paths << QString::number(p);
    QCOMPARE(paths, ref.value("paths"));
    QCOMPARE(fit.nData, int(number(ref, "ndata")));
    QVERIFY(std::fabs(fit.nIdp - number(ref, "n_idp")) < 1e-8);
    QVERIFY2(std::fabs(fit.epsilonR / number(ref, "epsilon_r") - 1) < 1e-6,
             qPrintable(QString::number(fit.epsilonR, 'g', 10)));

    const FitParameter *mine[] = {&fit.s02, &fit.de0, &fit.alpha, &fit.ss1, &fit.ss2};
    const QStringList flags = ref.value("flags").value(0).split(',');
    const bool anyAtBound = !flags.filter("-at-bound").isEmpty();
    const QVector<QStringList> params = all(ref, "param"); // name value error
    QCOMPARE(params.size(), 5);
    for (int j = 0; j < 5; ++j) {
        const double value = params[j][1].toDouble();
        const double error = params[j][2].toDouble();
        const QString what = QStringLiteral("%1: %2 +/- %3, reference %4 +/- %5")
                                 .arg(params[j][0])
                                 .arg(mine[j]->value, 0, 'g', 8)
                                 .arg(mine[j]->error, 0, 'g', 6)
                                 .arg(value, 0, 'g', 8)
                                 .arg(error, 0, 'g', 6);
        if (mine[j]->atBound) {
            // On a bound the value is the bound itself.
            QVERIFY2(std::fabs(mine[j]->value - value) < 1e-3 * std::fabs(value) + 1e-6,
                     qPrintable(what));
            continue;
        }
        QVERIFY2(std::fabs(mine[j]->value - value) <= 0.1 * error, qPrintable(what));
        // An uncertainty next to a parameter on a bound is not defined: the
        // reference's comes from a finite difference through the sine map's
        // flat top there.
        if (!anyAtBound)
            QVERIFY2(std::fabs(mine[j]->error / error - 1) < 0.05, qPrintable(what));
    }
    QVERIFY2(std::fabs(fit.rFactor / number(ref, "r_factor") - 1) < 0.01,
             qPrintable(QString::number(fit.rFactor, 'g', 8)));
    QVERIFY2(std::fabs(fit.chi2Reduced / number(ref, "chi2_reduced") - 1) < 0.01,
             qPrintable(QString::number(fit.chi2Reduced, 'g', 8)));
    QCOMPARE(fit.flagText(), ref.value("flags").value(0));

    // The fitted curve of fit.dat is the reference's best model.
    const QVector<QStringList> model = all(ref, "model"); // k chi
    double largest = 0.0;
    for (const QStringList &p : model)
        largest = std::max(largest, std::fabs(p[1].toDouble()));
    for (const QStringList &p : model) {
        const double k = p[0].toDouble();
        if (k < settings.kMin - settings.dk)
            continue; // below the window the paths' low-k ends barely count
        const double got = fit.fitted.value(qRound(k / 0.05));
        QVERIFY2(std::fabs(got - p[1].toDouble()) < 0.02 * largest,
                 qPrintable(QStringLiteral("k %1: %2, reference %3").arg(k).arg(got).arg(p[1])));
    }
}

void TestExafsFit::refused_data()
{
    QTest::addColumn<QVector<double>>("k");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("hasPaths");
    QTest::addColumn<QString>("reasonPart");
    QVector<double> energies, lowK;
    for (int i = 0; i < 50; ++i) {
        energies << 8800.0 + 10.0 * i;
        lowK << 0.05 * i;
    }
    const QString cu = QStringLiteral(FIT_TEST_DATA "/Cu-fcc");
    QTest::newRow("mu(E): energies in the first column") << energies << cu << true << "mu(E)";
    QTest::newRow("no point between K_MIN and K_MAX") << lowK << cu << true << "K_MIN";
    QTest::newRow("folder without path files")
        << lowK << QStringLiteral(FIT_TEST_DATA) << false << "no FEFF path files";
}

// A fit that cannot be made says why and has nothing to show.
void TestExafsFit::refused()
{
    QFETCH(QVector<double>, k);
    QFETCH(QString, folder);
    QFETCH(bool, hasPaths);
    QFETCH(QString, reasonPart);
    const MeasuredCurve data{QStringLiteral("/data/odd name é.xmu"), k,
                             QVector<double>(k.size(), 0.1)};
    const FitResult fit = ExafsFit::fitJob(folder, data, FitSettings());
    QVERIFY(!fit.valid);
    QCOMPARE(fit.hasPaths, hasPaths);
    QVERIFY2(fit.reason.contains(reasonPart), qPrintable(fit.reason));
    QVERIFY(fit.fitted.isEmpty());
    QVERIFY(std::isnan(fit.rFactor));
    if (hasPaths)
        QVERIFY2(fit.reason.contains(data.path), qPrintable(fit.reason));
}

// fit.txt and fit.dat of a fit, and fit.txt alone (with the reason) of none.
void TestExafsFit::filesWritten()
{
    QTemporaryDir dir;
    FitSettings settings;
    settings.rMin = 1.7;
    settings.kMax = 14.0;
    const FitResult fit = ExafsFit::fitJob(QStringLiteral(FIT_TEST_DATA "/Cu-fcc"),
                                           measured(QStringLiteral("cu10k.chi")), settings);
    QVERIFY(fit.valid);
    QCOMPARE(FitReport::write(dir.path(), fit, settings, QStringLiteral("cu10k.chi")), QString());
    QFile dat(dir.filePath(QStringLiteral("fit.dat")));
    QVERIFY(dat.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = dat.readAll().split('\n');
    QCOMPARE(lines.size() - 2, fit.k.size()); // header and the final newline
    QCOMPARE(lines[1].split(' ').size(), 3);
    const QByteArray report = [&] {
        QFile f(dir.filePath(QStringLiteral("fit.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QVERIFY(report.contains("r_factor       " + tableNumber(fit.rFactor).toLatin1()));
    QVERIFY(report.contains("paths          1 5 2 7 6 3 4"));
    QVERIFY(report.contains("flags          -"));

    FitResult none;
    none.reason = QStringLiteral("no FEFF path files");
    QCOMPARE(FitReport::write(dir.path(), none, settings, QStringLiteral("cu10k.chi")), QString());
    QVERIFY(!dat.exists());
    // A folder that is not there: the message names the file.
    const QString missing = dir.filePath(QStringLiteral("gone/deeper"));
    QVERIFY(
        FitReport::write(missing, fit, settings, QString()).contains(QStringLiteral("fit.txt")));
}

QTEST_GUILESS_MAIN(TestExafsFit)
#include "tst_exafsfit.moc"
