#include "chi/feffpaths.h"
#include "fit/feffpath.h"
#include "tests/fit/pathreference.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString dataDir = QStringLiteral(FIT_TEST_DATA);

QByteArray fileText(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray pathFile(const QString &name)
{
    return fileText(dataDir + QLatin1Char('/') + name);
}

// Runs Atoms on an example CIF and FEFF 6L on its input (one chip file per
// path, extra cards before TITLE) in dir.
bool runFeff6(const QString &cif, const QByteArray &cards, const QString &dir)
{
    QProcess atoms;
    atoms.start(QStringLiteral(ATOMS_EXE), {QStringLiteral(EXAMPLES_DIR "/00-Cif/") + cif});
    if (!atoms.waitForFinished(30000) || atoms.exitCode() != 0)
        return false;
    QByteArray input;
    for (const QByteArray &line : atoms.readAllStandardOutput().split('\n'))
        input += (line.trimmed().startsWith("PRINT") ? QByteArray(" PRINT 1 0 0 3") : line) + '\n';
    input.replace(" TITLE", cards + " TITLE");
    QFile inp(QDir(dir).filePath(QStringLiteral("feff.inp")));
    if (!inp.open(QIODevice::WriteOnly) || inp.write(input) != input.size())
        return false;
    inp.close();
    QProcess feff;
    feff.setWorkingDirectory(dir);
    feff.start(QStringLiteral("/usr/bin/feff6"), {});
    return feff.waitForFinished(60000) && feff.exitCode() == 0;
}

} // namespace

class TestFeffPath : public QObject
{
    Q_OBJECT

private slots:
    void header_data();
    void header();
    void againstReferenceLibrary_data();
    void againstReferenceLibrary();
    void badFiles_data();
    void badFiles();
    void againstFeffChip_data();
    void againstFeffChip();
};

void TestFeffPath::header_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("legs");
    QTest::addColumn<double>("degeneracy");
    QTest::addColumn<double>("reff");
    QTest::addColumn<QStringList>("route");

    QTest::newRow("FEFF 6L single scattering, NUL bytes in the header")
        << "cu_feff6_0001.dat" << 1 << 2 << 12.0 << 2.5561 << QStringList{"Cu", "Cu"};
    QTest::newRow("FEFF 6L triangle over two elements")
        << "rutile_feff6_0010.dat" << 10 << 3 << 8.0 << 3.7489 << QStringList{"Ti", "Ti", "O"};
    QTest::newRow("FEFF 8.5L single scattering")
        << "rutile_feff8_0001.dat" << 1 << 2 << 4.0 << 1.9485 << QStringList{"Ti", "O"};
    QTest::newRow("FEFF 8.5L four legs")
        << "zno_feff8_0013.dat" << 13 << 4 << 3.0 << 3.9489 << QStringList{"Zn", "O", "Zn", "O"};
}

void TestFeffPath::header()
{
    QFETCH(QString, file);
    QFETCH(int, number);
    QFETCH(int, legs);
    QFETCH(double, degeneracy);
    QFETCH(double, reff);
    QFETCH(QStringList, route);

    FeffPath parsed;
    QString error;
    QVERIFY2(parsed.parse(pathFile(file), &error), qPrintable(error));
    QCOMPARE(parsed.number(), number);
    QCOMPARE(parsed.legs(), legs);
    QCOMPARE(parsed.degeneracy(), degeneracy);
    QCOMPARE(parsed.reff(), reff);
    QCOMPARE(parsed.route(), route);
    QCOMPARE(parsed.kMax(), 20.0);
}

void TestFeffPath::againstReferenceLibrary_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("set");

    const QStringList files = QDir(dataDir).entryList({QStringLiteral("*.chi.txt")});
    QVERIFY(files.size() >= 6);
    for (const QString &file : files) {
        PathReference reference;
        QVERIFY(reference.read(dataDir + QLatin1Char('/') + file));
        for (int s = 0; s < reference.names.size(); ++s)
            QTest::addRow("%s %s", qPrintable(file.section(QLatin1Char('.'), 0, 0)),
                          qPrintable(reference.names[s]))
                << file << s;
    }
}

// The reference library's feffpath + path2chi on the same files: 0 to 20 by
// 0.05 and three points past FEFF's last k, where both extrapolate the spline.
void TestFeffPath::againstReferenceLibrary()
{
    QFETCH(QString, file);
    QFETCH(int, set);

    PathReference reference;
    QVERIFY(reference.read(dataDir + QLatin1Char('/') + file));
    QVERIFY(reference.k.size() > 400);
    const QVector<double> &v = reference.parameters[set];
    FeffPath path;
    QString error;
    QVERIFY2(
        path.parse(pathFile(file.section(QLatin1Char('.'), 0, 0) + QStringLiteral(".dat")), &error),
        qPrintable(error));
    const QVector<double> &expected = reference.chi[set];
    const QVector<double> chi =
        path.chi(reference.k, PathParameters{v[0], v[1], v[2], v[3], v[4], v[5]});
    const double worst = deviation(chi, expected, largestMagnitude(expected));
    QVERIFY2(worst < 1e-6, qPrintable(QString::number(worst)));
}

void TestFeffPath::badFiles_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");

    const QByteArray good = pathFile(QStringLiteral("cu_feff6_0001.dat"));
    const int columnLine = good.indexOf("    k   real[2*phc]");
    QVERIFY(columnLine > 0);
    const QByteArray header = good.left(columnLine);
    const QList<QByteArray> columnLines = good.mid(columnLine).split('\n');

    QTest::newRow("empty") << QByteArray() << "not a FEFF path file";
    QTest::newRow("a chi.dat") << QByteArray(" k chi mag phase @#\n 0.0 0.1 0.1 0.0\n")
                               << "not a FEFF path file";
    QTest::newRow("binary garbage") << QByteArray(300, '\xff') << "not a FEFF path file";
    QTest::newRow("header only") << header << "no column line";
    QTest::newRow("cut after three data lines") << header + columnLines.mid(0, 4).join('\n') + '\n'
                                                << "3 data line";
    QByteArray bent = good;
    bent.replace("  1.000  ", "  0.100  ");
    QTest::newRow("k going back") << bent << "k does not increase";
    QByteArray nan = good;
    nan.replace("   2.5561 ", "      nan ");
    QTest::newRow("reff not a number") << nan << "bad path line";
}

void TestFeffPath::badFiles()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);

    FeffPath path;
    QVERIFY(path.parse(pathFile(QStringLiteral("cu_feff6_0003.dat")), nullptr));
    QString error;
    QVERIFY(!path.parse(text, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    // Nothing of the earlier path is left to evaluate.
    QVERIFY(!path.isValid());
    QCOMPARE(path.chi(QVector<double>{1.0, 2.0}, PathParameters()), (QVector<double>{0.0, 0.0}));
}

void TestFeffPath::againstFeffChip_data()
{
    QTest::addColumn<QString>("cif");
    QTest::addColumn<QByteArray>("cards");

    QTest::newRow("copper") << "Cu.cif" << QByteArray();
    QTest::newRow("copper with SIG2 0.004") << "Cu.cif" << QByteArray(" SIG2 0.004\n");
    QTest::newRow("rutile") << "TiO2-rutile.cif" << QByteArray();
    QTest::newRow("zinc oxide") << "ZnO.cif" << QByteArray();
}

// FEFF 6L's own chi of every path it used (chipNNNN.dat) against the model
// at FEFF's parameters: S0² 1 as the input sets it, σ² from files.dat.
// Compared where FEFF wrote its columns: between those rows FEFF takes its
// own finer data, the model only has the file's rows. k = 0 is left out:
// FEFF gives the limit there, the equation extrapolates.
void TestFeffPath::againstFeffChip()
{
    QFETCH(QString, cif);
    QFETCH(QByteArray, cards);
    if (!QFileInfo(QStringLiteral("/usr/bin/feff6")).isExecutable())
        QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");

    QTemporaryDir dir;
    QVERIFY(runFeff6(cif, cards, dir.path()));
    FeffPaths lists;
    QVERIFY(lists.read(dir.path()).isEmpty());
    // Every path file is listed, with its amplitude ratio (100 for the strongest).
    const QVector<PathIdentity> listed = lists.listedPaths();
    QCOMPARE(listed.size(), QDir(dir.path()).entryList({QStringLiteral("feff0*.dat")}).size());
    QCOMPARE(std::max_element(listed.cbegin(), listed.cend(),
                              [](auto &a, auto &b) { return a.amplitude < b.amplitude; })
                 ->amplitude,
             100.0);
    const QStringList chips = QDir(dir.path()).entryList({QStringLiteral("chip*.dat")});
    QVERIFY(chips.size() >= 5);
    for (const QString &chip : chips) {
        const int number = FeffPaths::pathNumber(chip);
        FeffPath path;
        QString error;
        const QString feffFile = QStringLiteral("feff%1.dat").arg(number, 4, 10, QLatin1Char('0'));
        QVERIFY2(path.read(dir.filePath(feffFile), &error), qPrintable(error));
        PathParameters p;
        p.sigma2 = lists.identity(number).sigma2;
        QCOMPARE(p.sigma2, cards.isEmpty() ? 0.0 : 0.004);
        // FEFF's chip leaves out the phase term -4σ²·p/reff of the equation
        // (analysis programs add it). A dR of 2σ²/reff cancels it; S0² undoes
        // what that dR does to the 1/(reff + dR)² amplitude.
        p.deltaR = 2.0 * p.sigma2 / path.reff();
        p.s02 = std::pow((path.reff() + p.deltaR) / path.reff(), 2);

        QVector<double> k, feffChi, allChi;
        for (const QVector<double> &row : numberRows(fileText(dir.filePath(chip)), 5)) {
            allChi << row[1];
            if (row[0] > 0.0 &&
                std::binary_search(path.kPoints().cbegin(), path.kPoints().cend(), row[0]))
                k << row[0], feffChi << row[1];
        }
        QVERIFY(k.size() > 40);
        const double worst = deviation(path.chi(k, p), feffChi, largestMagnitude(allChi));
        QVERIFY2(worst < 1e-4, qPrintable(QStringLiteral("%1: %2").arg(chip).arg(worst)));
    }
}

QTEST_GUILESS_MAIN(TestFeffPath)
#include "tst_feffpath.moc"
