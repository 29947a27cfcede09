#include "chi/chi.h"
#include "chi/measuredchi.h"
#include "chi/resultfile.h"
#include "data/athenaproject.h"
#include "data/measureddata.h"
#include "tests/testfiles.h"

#include <QtTest>

#include <cmath>

// The kinds of measured files, the .chik files made of mu(E), and the
// refusals of files that cannot be used.
class TestDataFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void kinds_data();
    void kinds();
    void refusals_data();
    void refusals();
    void chikFileReadsBack();
    void chikNames_data();
    void chikNames();
    void configuredE0_data();
    void configuredE0();
    void folderlessCurves_data();
    void folderlessCurves();
    void perlLists_data();
    void perlLists();

private:
    QString write(const QString &name, const QByteArray &bytes);
    MeasuredData::Outcome read(const QString &path);

    QTemporaryDir dir;
    QString chikFolder;
    std::vector<std::unique_ptr<Chi>> curves;
    QVector<double> cuEnergy;
    QVector<double> cuMu;
};

namespace {

const QString dataDir = QStringLiteral(DATA_TEST_DATA);

QByteArray columns(const QVector<double> &a, const QVector<double> &b, const QVector<double> &c)
{
    QByteArray out;
    for (int i = 0; i < a.size(); ++i) {
        out += QByteArray::number(a[i], 'g', 12) + ' ' + QByteArray::number(b[i], 'g', 12);
        if (!c.isEmpty())
            out += ' ' + QByteArray::number(c[i], 'g', 12);
        out += '\n';
    }
    return out;
}

} // namespace

QString TestDataFiles::write(const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    writeFile(path, bytes);
    return path;
}

MeasuredData::Outcome TestDataFiles::read(const QString &path)
{
    MeasuredData::Options options;
    options.background = MeasuredData::defaults();
    options.chikFolder = chikFolder;
    return MeasuredData::read(path, options, curves);
}

void TestDataFiles::initTestCase()
{
    QVERIFY(dir.isValid());
    for (const QByteArray &line : readFile(dataDir + QStringLiteral("/cu.xmu")).split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (line.startsWith('#') || f.size() < 2)
            continue;
        cuEnergy.append(f[0].toDouble());
        cuMu.append(f[1].toDouble());
    }
    QCOMPARE(cuEnergy.size(), 612);
}

void TestDataFiles::init()
{
    curves.clear();
    chikFolder = dir.filePath(QStringLiteral("res ö/data"));
    QDir(chikFolder).removeRecursively();
}

void TestDataFiles::kinds_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("chikFiles");  // made in the folder, in order
    QTest::addColumn<QStringList>("curveNames"); // file names of the curves' sources

    QTest::newRow("energy and mu columns")
        << QStringLiteral("cu.xmu") << QStringList{"cu.chik"} << QStringList{"cu.chik"};
    QTest::newRow("named i0 and it columns")
        << QStringLiteral("transmission.dat") << QStringList{"transmission.chik"}
        << QStringList{"transmission.chik"};
    QTest::newRow("named i0 and ifluor columns")
        << QStringLiteral("fluorescence.dat") << QStringList{"fluorescence.chik"}
        << QStringList{"fluorescence.chik"};
    QTest::newRow("XDI file with energies in keV")
        << QStringLiteral("cu.xdi") << QStringList{"cu.chik"} << QStringList{"cu.chik"};
    QTest::newRow("project file: two mu(E) groups and a chi(k) group")
        << QStringLiteral("copper.prj") << QStringList{"Cu foil 10K.chik", "FeO.chik"}
        << QStringList{"Cu foil 10K.chik", "FeO.chik", "copper.prj:Cu 150K"};
    QTest::newRow("chi(k) file") << QStringLiteral("cu150k.chi") << QStringList()
                                 << QStringList{"cu150k.chi"};
}

void TestDataFiles::kinds()
{
    QFETCH(QString, file);
    QFETCH(QStringList, chikFiles);
    QFETCH(QStringList, curveNames);

    // Written from cu.xmu: mu = ln(i0/it), or if/i0, or mu against keV.
    QVector<double> i0(cuMu.size(), 1.0e5);
    QVector<double> other(cuMu.size());
    QString path = dataDir + QLatin1Char('/') + file;
    if (file == QLatin1String("transmission.dat")) {
        for (int i = 0; i < cuMu.size(); ++i)
            other[i] = i0[i] * std::exp(-cuMu[i]);
        path = write(file, "# scan\n# energy i0 it\n" + columns(cuEnergy, i0, other));
    } else if (file == QLatin1String("fluorescence.dat")) {
        for (int i = 0; i < cuMu.size(); ++i)
            other[i] = i0[i] * cuMu[i];
        path = write(file, "# E I0 IFLUOR\n" + columns(cuEnergy, i0, other));
    } else if (file == QLatin1String("cu.xdi")) {
        QVector<double> kev = cuEnergy;
        for (double &e : kev)
            e /= 1000.0;
        path = write(file, "# XDI/1.0\n# Column.1: energy keV\n# Column.2: mutrans\n"
                           "# Element.symbol: Cu\n# Element.edge: K\n# ///\n# foil\n#----\n" +
                               columns(kev, cuMu, {}));
    }

    const MeasuredData::Outcome outcome = read(path);
    QVERIFY2(outcome.problem.isEmpty(), qPrintable(outcome.problem));
    QVERIFY(!outcome.writeFailed);
    QCOMPARE(QDir(chikFolder).entryList(QDir::Files, QDir::Name), chikFiles);
    QStringList names;
    for (const auto &curve : curves) {
        QVERIFY(curve->hasChiK);
        names << QFileInfo(curve->sourcePath).fileName();
    }
    QCOMPARE(names, curveNames);

    // Every mu(E) form of the copper foil gives the copper foil's chi(k).
    if (file != QLatin1String("cu.xmu") &&
        chikFiles == QStringList{file.section('.', 0, 0) + ".chik"}) {
        std::vector<std::unique_ptr<Chi>> plain;
        MeasuredData::Options options;
        options.background = MeasuredData::defaults();
        options.chikFolder = dir.filePath(QStringLiteral("plain"));
        MeasuredData::read(dataDir + QStringLiteral("/cu.xmu"), options, plain);
        QCOMPARE(curves.front()->k.size(), plain.front()->k.size());
        for (int i = 0; i < plain.front()->k.size(); i += 25)
            QVERIFY(std::fabs(curves.front()->chi[i] - plain.front()->chi[i]) < 1e-4);
    }
}

void TestDataFiles::refusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QByteArray garbage;
    for (int i = 0; i < 5000; ++i)
        garbage.append(char((i * 7919) % 251));
    QTest::newRow("garbage") << "garbage.dat" << garbage << "no points";

    QByteArray cu = readFile(dataDir + QStringLiteral("/cu.xmu"));
    QList<QByteArray> lines = cu.split('\n');
    lines.swapItemsAt(100, 101);
    QTest::newRow("energies falling") << "falling.xmu" << lines.join('\n') << "energies fall";

    QTest::newRow("no edge: the pre-edge part only")
        << "pre-edge.xmu" << cu.split('\n').mid(0, 60).join('\n') << "no absorption edge";
    QByteArray ramp;
    for (int i = 0; i < 300; ++i)
        ramp += QByteArray::number(8000 + 5 * i) + ' ' + QByteArray::number(0.5 + 1e-4 * i) + '\n';
    QTest::newRow("no edge: a straight line") << "ramp.xmu" << ramp << "no absorption edge";

    const QByteArray project = readFile(dataDir + QStringLiteral("/copper.prj"));
    QTest::newRow("truncated gzip") << "cut.prj" << project.left(project.size() / 2) << "cut short";
    QTest::newRow("project group without data")
        << "empty group.prj" << readFile(dataDir + QStringLiteral("/empty_group.prj"))
        << "group \"lost scan\" holds no usable data";
    QByteArray kev("# energy mu\n");
    for (int i = 0; i < 300; ++i)
        kev += QByteArray::number(8.0 + 0.005 * i) + ' ' + QByteArray::number(i < 150 ? 0.1 : 1.1) +
               '\n';
    QTest::newRow("energies below 100 eV") << "kev.dat" << kev << "not above 100";
}

void TestDataFiles::refusals()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString path = write(name, bytes);
    const MeasuredData::Outcome outcome = read(path);
    QVERIFY2(outcome.problem.contains(path), qPrintable(outcome.problem));
    QVERIFY2(outcome.problem.contains(reason), qPrintable(outcome.problem));
    QVERIFY(curves.empty());
    QVERIFY(outcome.messages.isEmpty());
    QCOMPARE(QDir(chikFolder).entryList(QDir::Files), QStringList());
}

void TestDataFiles::chikFileReadsBack()
{
    const MeasuredData::Outcome outcome = read(dataDir + QStringLiteral("/cu.xmu"));
    QVERIFY2(outcome.problem.isEmpty(), qPrintable(outcome.problem));
    const QString chikPath = QDir(chikFolder).filePath(QStringLiteral("cu.chik"));
    const QString text = QString::fromLatin1(readFile(chikPath));
    for (const char *header : {"# file: ", "# e0: 8977.580 eV", "# edge step: 2.3298",
                               "# R_bkg: 1 A", "# k weight: 1", "# knots: 16 at k = 0.000"})
        QVERIFY2(text.contains(QLatin1String(header)), header);

    Chi back;
    QCOMPARE(MeasuredChi::read(chikPath, back), QString());
    const Chi &made = *curves.front();
    QCOMPARE(back.k.size(), made.k.size());
    for (int i = 0; i < made.k.size(); ++i) {
        QCOMPARE(back.k[i], made.k[i]);
        QVERIFY(std::fabs(back.chi[i] - made.chi[i]) <= 1e-7 * std::fabs(made.chi[i]) + 1e-12);
    }
}

// BKG_E0 8985 eV: taken where it lies inside the spectrum and the file has
// no e0 of its own.
// A .chik file is written over only by the file and group it was made of.
void TestDataFiles::chikNames_data()
{
    QTest::addColumn<QString>("inTheWay");  // at chikFolder/cu.chik before the loads
    QTest::addColumn<QStringList>("loads"); // which cu.xmu: "ifeffit", or a copy's folder
    QTest::addColumn<QStringList>("curveFiles");

    QTest::newRow("the same file again")
        << QString() << QStringList{"ifeffit", "ifeffit"} << QStringList{"cu.chik", "cu.chik"};
    QTest::newRow("a file of the same name from elsewhere")
        << QString() << QStringList{"ifeffit", "anderswo", "ifeffit", "anderswo"}
        << QStringList{"cu.chik", "cu_2.chik", "cu.chik", "cu_2.chik"};
    QTest::newRow("the same file again, letters beyond ASCII in its folder")
        << QString() << QStringList{"銅 ö", "銅 ö", "ifeffit"}
        << QStringList{"cu.chik", "cu.chik", "cu_2.chik"};
    QTest::newRow("a folder in the way")
        << "folder" << QStringList{"ifeffit"} << QStringList{"cu_2.chik"};
    QTest::newRow("the user's own file")
        << "text" << QStringList{"anderswo"} << QStringList{"cu_2.chik"};
}

void TestDataFiles::chikNames()
{
    QFETCH(QString, inTheWay);
    QFETCH(QStringList, loads);
    QFETCH(QStringList, curveFiles);

    QDir().mkpath(chikFolder);
    const QString theWay = QDir(chikFolder).filePath(QStringLiteral("cu.chik"));
    if (inTheWay == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(theWay));
    else if (inTheWay == QLatin1String("text"))
        QVERIFY(writeFile(theWay, "# my own notes\n1 2\n"));
    QStringList got;
    for (const QString &load : loads) {
        QString source = dataDir + QStringLiteral("/cu.xmu");
        if (load != QLatin1String("ifeffit")) {
            QVERIFY(QDir().mkpath(dir.filePath(load)));
            source = dir.filePath(load + QStringLiteral("/cu.xmu"));
            QFile::remove(source);
            QVERIFY(QFile::copy(dataDir + QStringLiteral("/cu.xmu"), source));
        }
        const MeasuredData::Outcome outcome = read(source);
        QVERIFY2(outcome.problem.isEmpty() && !outcome.writeFailed,
                 qPrintable(outcome.messages.join('\n')));
        const QString chik = curves.back()->sourcePath;
        got << QFileInfo(chik).fileName();
        // The file the curve names holds that curve's source.
        QVERIFY(readFile(chik).contains(
            ResultFile::encoded("# file: " + QFileInfo(source).absoluteFilePath() + '\n')));
    }
    QCOMPARE(got, curveFiles);
    if (inTheWay == QLatin1String("text"))
        QCOMPARE(readFile(theWay), QByteArray("# my own notes\n1 2\n"));
}

void TestDataFiles::configuredE0_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("chik");
    QTest::addColumn<QString>("e0Line");
    QTest::newRow("column file") << "cu.xmu"
                                 << "cu.chik"
                                 << "# e0: 8985.000 eV";
    QTest::newRow("project group with its own e0") << "copper.prj"
                                                   << "Cu foil 10K.chik"
                                                   << "# e0: 8980.500 eV";
    QTest::newRow("spectrum that ends below it: found") << "copper.prj"
                                                        << "FeO.chik"
                                                        << "# e0: 7122.927 eV";
}

void TestDataFiles::configuredE0()
{
    QFETCH(QString, file);
    QFETCH(QString, chik);
    QFETCH(QString, e0Line);
    MeasuredData::Options options;
    options.background = MeasuredData::defaults();
    options.background.e0 = 8985.0;
    options.chikFolder = chikFolder;
    const MeasuredData::Outcome outcome =
        MeasuredData::read(dataDir + QLatin1Char('/') + file, options, curves);
    QVERIFY2(outcome.problem.isEmpty(), qPrintable(outcome.problem));
    const QString text = QString::fromUtf8(readFile(QDir(chikFolder).filePath(chik)));
    QVERIFY2(text.contains(e0Line + QLatin1Char('\n')), qPrintable(text.left(300)));
}

// Without a folder to write .chik files into, the curve is still handed
// over, named after its source; only a folder that fails is a write failure.
void TestDataFiles::folderlessCurves_data()
{
    QTest::addColumn<bool>("fileInTheWay"); // else: no folder given at all
    QTest::addColumn<bool>("writeFailed");
    QTest::newRow("a file, not a folder") << true << true;
    QTest::newRow("no folder given (another run's results)") << false << false;
}

void TestDataFiles::folderlessCurves()
{
    QFETCH(bool, fileInTheWay);
    QFETCH(bool, writeFailed);
    chikFolder = fileInTheWay ? write(QStringLiteral("a file, not a folder"), "x") : QString();
    const MeasuredData::Outcome outcome = read(dataDir + QStringLiteral("/cu.xmu"));
    QVERIFY(outcome.problem.isEmpty());
    QCOMPARE(outcome.writeFailed, writeFailed);
    QCOMPARE(outcome.messages.size(), 1);
    QCOMPARE(outcome.messages.first().contains(QLatin1String("Can not write")), writeFailed);
    QVERIFY(outcome.messages.first().contains(QLatin1String("e0 8977.58 eV")));
    QCOMPARE(curves.size(), size_t(1));
    QCOMPARE(curves.front()->sourcePath, dataDir + QStringLiteral("/cu.xmu"));
    QVERIFY(curves.front()->hasChiK);
}

void TestDataFiles::perlLists_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("quoted and bare") << QByteArray("('a', \"b c\",3.5 , undef)") << true
                                     << QStringList{"a", "b c", "3.5", "undef"};
    QTest::newRow("escaped quote and backslash")
        << QByteArray("('it\\'s','a\\\\b')") << true << QStringList{"it's", "a\\b"};
    QTest::newRow("empty") << QByteArray("()") << true << QStringList();
    QTest::newRow("unclosed quote") << QByteArray("('a','b)") << false << QStringList();
    QTest::newRow("no parentheses") << QByteArray("'a','b'") << false << QStringList();
}

void TestDataFiles::perlLists()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, parsed);
    QFETCH(QStringList, items);
    QStringList got;
    QCOMPARE(AthenaProject::parseList(text, got), parsed);
    if (parsed)
        QCOMPARE(got, items);
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
