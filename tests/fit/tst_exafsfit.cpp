#include "chi/chi.h"
#include "chi/measuredchi.h"
#include "fit/exafsfit.h"
#include "fit/fitreport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// The path fit against X-ray Larch's feffit of the same model on real
// measured spectra (larch_fits.py, larch_fits.txt): copper foil at 10 K and
// 150 K and manganese oxide, each with the paths of its own structure and of
// a wrong one, and a two-folder group.
class TestExafsFit : public QObject
{
    Q_OBJECT
public:
    struct Reference
    {
        QString name, data;
        QVector<QPair<QString, double>> folders;
        FitSettings settings;
        QVector<int> paths;
        double nIdp = 0, epsilonR = 0, chi2 = 0, chi2Reduced = 0, rFactor = 0;
        int nData = 0;
        QVector<double> value, error; // s02, de0, alpha, ss1, ss2
        QStringList flags;
        QVector<QPair<double, double>> model; // k, chi
    };

private slots:
    void againstReference_data();
    void againstReference();
    void refused_data();
    void refused();
    void filesWritten();

private:
    static QVector<Reference> references();
    static MeasuredCurve measured(const QString &file);
};

Q_DECLARE_METATYPE(TestExafsFit::Reference)

QVector<TestExafsFit::Reference> TestExafsFit::references()
{
    QFile file(QStringLiteral(FIT_TEST_DATA "/larch_fits.txt"));
    QVector<Reference> out;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    Reference r;
    while (!file.atEnd()) {
        const QStringList f = QString::fromLatin1(file.readLine())
                                  .trimmed()
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.isEmpty())
            continue;
        const QString key = f[0];
        const QString last = f.last();
        if (key == QLatin1String("case")) {
            r = Reference();
            r.name = last;
        } else if (key == QLatin1String("data")) {
            r.data = last;
        } else if (key == QLatin1String("folders")) {
            for (const QString &fw : f.mid(1)) {
                const QStringList parts = fw.split(QLatin1Char(':'));
                r.folders.append(
                    {QStringLiteral(FIT_TEST_DATA "/") + parts[0], parts[1].toDouble()});
            }
        } else if (key == QLatin1String("settings")) {
            r.settings.kMin = f[1].toDouble();
            r.settings.kMax = f[2].toDouble();
            r.settings.dk = f[3].toDouble();
            r.settings.kWeight = f[4].toInt();
            r.settings.rMin = f[5].toDouble();
            r.settings.rMax = f[6].toDouble();
        } else if (key == QLatin1String("paths")) {
            for (const QString &p : f.mid(1))
                r.paths << p.toInt();
        } else if (key == QLatin1String("n_idp")) {
            r.nIdp = last.toDouble();
        } else if (key == QLatin1String("ndata")) {
            r.nData = last.toInt();
        } else if (key == QLatin1String("epsilon_r")) {
            r.epsilonR = last.toDouble();
        } else if (key == QLatin1String("chi_square")) {
            r.chi2 = last.toDouble();
        } else if (key == QLatin1String("chi2_reduced")) {
            r.chi2Reduced = last.toDouble();
        } else if (key == QLatin1String("r_factor")) {
            r.rFactor = last.toDouble();
        } else if (key == QLatin1String("param")) {
            r.value << f[2].toDouble();
            r.error << f[3].toDouble();
        } else if (key == QLatin1String("flags")) {
            r.flags = last == QLatin1String("-") ? QStringList() : last.split(QLatin1Char(','));
        } else if (key == QLatin1String("model")) {
            r.model.append({f[1].toDouble(), f[2].toDouble()});
        } else if (key == QLatin1String("end")) {
            out.append(r);
        }
    }
    return out;
}

MeasuredCurve TestExafsFit::measured(const QString &file)
{
    Chi chi;
    const QString path = QStringLiteral(FIT_TEST_DATA "/") + file;
    MeasuredChi::read(path, chi);
    return MeasuredCurve{path, chi.k, chi.chi};
}

void TestExafsFit::againstReference_data()
{
    QTest::addColumn<Reference>("ref");
    const QVector<Reference> all = references();
    QVERIFY(all.size() >= 7);
    for (const Reference &r : all)
        QTest::newRow(qPrintable(r.name)) << r;
}

void TestExafsFit::againstReference()
{
    QFETCH(Reference, ref);
    const FitResult fit = ExafsFit::fitGroup(ref.folders, measured(ref.data), ref.settings);
    QVERIFY2(fit.valid, qPrintable(fit.reason));
    QCOMPARE(fit.paths, ref.paths);
    QCOMPARE(fit.nData, ref.nData);
    QVERIFY(std::fabs(fit.nIdp - ref.nIdp) < 1e-8);
    QVERIFY2(std::fabs(fit.epsilonR / ref.epsilonR - 1) < 1e-6,
             qPrintable(QString::number(fit.epsilonR, 'g', 10)));

    const FitParameter *mine[] = {&fit.s02, &fit.de0, &fit.alpha, &fit.ss1, &fit.ss2};
    const char *names[] = {"s02", "de0", "alpha", "ss1", "ss2"};
    const bool anyAtBound = std::any_of(ref.flags.cbegin(), ref.flags.cend(),
                                        [](const QString &f) { return f.endsWith("-at-bound"); });
    for (int j = 0; j < 5; ++j) {
        const QString what = QStringLiteral("%1: %2 +/- %3, reference %4 +/- %5")
                                 .arg(QLatin1String(names[j]))
                                 .arg(mine[j]->value, 0, 'g', 8)
                                 .arg(mine[j]->error, 0, 'g', 6)
                                 .arg(ref.value[j], 0, 'g', 8)
                                 .arg(ref.error[j], 0, 'g', 6);
        if (mine[j]->atBound) {
            // On a bound the value is the bound itself.
            QVERIFY2(std::fabs(mine[j]->value - ref.value[j]) <
                         1e-3 * std::fabs(ref.value[j]) + 1e-6,
                     qPrintable(what));
            continue;
        }
        QVERIFY2(std::fabs(mine[j]->value - ref.value[j]) <= 0.1 * ref.error[j], qPrintable(what));
        // An uncertainty next to a parameter on a bound is not defined: the
        // reference's comes from a finite difference through the sine map's
        // flat top there.
        if (!anyAtBound)
            QVERIFY2(std::fabs(mine[j]->error / ref.error[j] - 1) < 0.05, qPrintable(what));
    }
    QVERIFY2(std::fabs(fit.rFactor / ref.rFactor - 1) < 0.01,
             qPrintable(QString::number(fit.rFactor, 'g', 8)));
    QVERIFY2(std::fabs(fit.chi2Reduced / ref.chi2Reduced - 1) < 0.01,
             qPrintable(QString::number(fit.chi2Reduced, 'g', 8)));
    QCOMPARE(fit.flags, ref.flags);

    // The fitted curve of fit.dat is the reference's best model.
    double largest = 0.0;
    for (const auto &p : ref.model)
        largest = std::max(largest, std::fabs(p.second));
    for (const auto &p : ref.model) {
        const int i = qRound(p.first / 0.05);
        if (p.first < ref.settings.kMin - ref.settings.dk)
            continue; // below the window the paths' low-k ends barely count
        QVERIFY2(std::fabs(fit.fitted.value(i) - p.second) < 0.02 * largest,
                 qPrintable(QStringLiteral("k %1: %2, reference %3")
                                .arg(p.first)
                                .arg(fit.fitted.value(i))
                                .arg(p.second)));
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
    QVERIFY(report.contains("r_factor       " + FitReport::number(fit.rFactor).toLatin1()));
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
