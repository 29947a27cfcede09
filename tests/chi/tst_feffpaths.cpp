#include "chi/feffpaths.h"
#include "tests/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

const QString rutileDir = QStringLiteral(CHI_TEST_DATA "/rutile");

// The text up to the middle of the first line that holds marker.
QByteArray cutInside(const QByteArray &text, const QByteArray &marker)
{
    const int at = text.indexOf(marker);
    return at < 0 ? QByteArray() : text.left(at + marker.size() / 2);
}

bool sameNumber(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || qFuzzyCompare(a, b);
}

} // namespace

class TstFeffPaths : public QObject
{
    Q_OBJECT
private slots:
    // Expected figures are copied by hand from the two lists (see data/rutile).
    void rutileIdentities_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("number");
        QTest::addColumn<double>("reff");
        QTest::addColumn<double>("degeneracy");
        QTest::addColumn<int>("legs");
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<QString>("route");
        const double nan = qQNaN();
        QTest::newRow("triangle over a Ti neighbour")
            << "chip0006.dat" << 6 << 3.4278 << 8.0 << 3 << 11.097 << "Ti Ti O";
        QTest::newRow("left out of the chi sum, still in both lists")
            << "chip0005.dat" << 5 << 3.4278 << 4.0 << 3 << 3.58 << "Ti O O";
        QTest::newRow("discarded by FEFF: paths.dat only, no amplitude")
            << "chip0018.dat" << 18 << 3.9286 << 16.0 << 4 << nan << "Ti O Ti O";
        QTest::newRow("after the gaps")
            << "CHIP0019.DAT" << 19 << 3.9603 << 2.0 << 3 << 7.754 << "Ti O O";
        QTest::newRow("no such path") << "chip0099.dat" << 99 << nan << nan << 0 << nan << "";
    }
    void rutileIdentities()
    {
        QFETCH(QString, file);
        QFETCH(double, reff);
        QFETCH(double, degeneracy);
        QFETCH(double, amplitude);
        FeffPaths lists;
        QCOMPARE(lists.read(rutileDir), QString());
        const PathIdentity id = lists.identity(file);
        QCOMPARE(id.file, file);
        QTEST(id.number, "number");
        QVERIFY2(sameNumber(id.reff, reff), qPrintable(QString::number(id.reff)));
        QVERIFY(sameNumber(id.degeneracy, degeneracy));
        QTEST(id.legs, "legs");
        QVERIFY2(sameNumber(id.amplitude, amplitude), qPrintable(QString::number(id.amplitude)));
        QTEST(id.route.join(QLatin1Char(' ')), "route");
    }
    // Rows taken from damaged lists: a cut-off entry is dropped, not misread.
    void damagedLists_data()
    {
        QTest::addColumn<bool>("pathsList");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("lastKnown"); // highest path number with a row, 0 for none
        const QByteArray files = readFile(rutileDir + "/files.dat");
        const QByteArray paths = readFile(rutileDir + "/paths.dat");
        QTest::newRow("files.dat whole") << false << files << 57 << 58;
        QTest::newRow("files.dat cut inside the reff of a row")
            << false << files.left(files.indexOf(" feff0040.dat") + 52) << 38 << 39;
        QTest::newRow("paths.dat cut inside the third leg of path 58")
            << true
            << cutInside(paths, "    1.400160    1.400160    0.000000   1 'O     '     1.9485   49")
            << 57 << 57;
        QTest::newRow("paths.dat path missing a leg")
            << true
            << QByteArray("    1    3   4.000  index, nleg, degeneracy, r=  1.9485\n"
                          "   -0.896690    0.896690   -1.479350   1 'O     '     1.9485\n"
                          "    0.000000    0.000000    0.000000   0 'Ti    '     1.9485\n")
            << 0 << 0;
        QTest::newRow("files.dat row with a word for a number")
            << false << QByteArray(" feff0007.dat 0.00000    abc     4.000     2   3.4870\n") << 0
            << 0;
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise += char((i * 37 + 11) % 256);
        QTest::newRow("files.dat of noise") << false << noise << 0 << 0;
        QTest::newRow("files.dat given paths.dat") << false << paths << 0 << 0;
        QTest::newRow("paths.dat of noise") << true << noise << 0 << 0;
    }
    void damagedLists()
    {
        QFETCH(bool, pathsList);
        QFETCH(QByteArray, text);
        FeffPaths lists;
        QTEST(pathsList ? lists.readPaths(text) : lists.readFiles(text), "rows");
        int highest = 0;
        for (int n = 1; n <= 60; ++n)
            if (lists.identity(QStringLiteral("chip%1.dat").arg(n, 4, 10, QLatin1Char('0'))).legs >
                0)
                highest = n;
        QTEST(highest, "lastKnown");
    }
    void readMessage_data()
    {
        QTest::addColumn<QStringList>("present"); // copied from the rutile run
        QTest::addColumn<QByteArray>("garbage");  // written as paths.dat when not empty
        QTest::addColumn<QString>("named");
        QTest::newRow("both lists")
            << QStringList{"files.dat", "paths.dat"} << QByteArray() << QString();
        QTest::newRow("no lists") << QStringList() << QByteArray() << "files.dat, paths.dat";
        QTest::newRow("paths.dat garbage")
            << QStringList{"files.dat"} << QByteArray("\x01\x02garbage\n\0\n", 13) << "paths.dat";
    }
    void readMessage()
    {
        QFETCH(QStringList, present);
        QFETCH(QByteArray, garbage);
        QFETCH(QString, named);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const QString &name : present)
            QVERIFY(QFile::copy(rutileDir + QLatin1Char('/') + name, dir.filePath(name)));
        if (!garbage.isEmpty())
            QVERIFY(writeFile(dir.filePath(QStringLiteral("paths.dat")), garbage));
        QString problem = QStringLiteral("unset");
        const QVector<PathIdentity> ids =
            FeffPaths::identify(dir.path(), {QStringLiteral("chip0001.dat")}, &problem);
        QCOMPARE(ids.size(), 1);
        QCOMPARE(ids[0].number, 1);
        QCOMPARE(problem.isEmpty(), named.isEmpty());
        if (!named.isEmpty()) {
            QVERIFY2(problem.contains(named) && problem.contains(dir.path()), qPrintable(problem));
            QCOMPARE(problem.count(QLatin1String(".dat")), named.count(QLatin1String(".dat")));
        }
        // Whatever the files, what was read stays: files.dat alone still gives the figures.
        QCOMPARE(ids[0].legs, present.contains("files.dat") ? 2 : 0);
        QCOMPARE(ids[0].route.isEmpty(), named.contains("paths.dat"));
    }
};

QTEST_GUILESS_MAIN(TstFeffPaths)
#include "tst_feffpaths.moc"
