#include "chi/chi.h"
#include "chi/feffpaths.h"
#include "tests/testfiles.h"

#include <QSignalSpy>
#include <QtTest>

using V = QVector<double>;

namespace {

const QString dataDir = QStringLiteral(CHI_TEST_DATA);
const QString rutileDir = dataDir + QStringLiteral("/rutile");

// Text that shows NaN as "nan", so that NaN compares equal to NaN.
QString text(const V &values)
{
    QStringList numbers;
    for (double value : values)
        numbers << QString::number(value, 'g', 17);
    return numbers.join(QLatin1Char(' '));
}

// Reads chi.dat and transforms it: values a new read must clear.
void holdPrevious(Chi &data)
{
    data.readChiK(dataDir + QStringLiteral("/chi.dat"));
    data.transform(3.0, 20.0, 0.0, 8.0, 0.01);
}

// No chi(R) and empty extents, as after reading a file without data.
bool allCleared(const Chi &data)
{
    return !data.hasChiR && data.r.isEmpty() && data.chiRAbs.isEmpty() && data.chiRRe.isEmpty() &&
           data.chiRIm.isEmpty() && data.kExtent.min == 1e300 && data.chiExtent.max == -1e300 &&
           data.rExtent.min == 1e300 && data.chiRAbsExtent.max == -1e300;
}

// A value of /proc/self/status in kB, -1 if unknown (Linux only).
qint64 statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Starts a new peak (VmHWM) at the present resident size.
// False where the peak cannot be measured: without /proc, and under
// AddressSanitizer, whose allocator keeps freed memory in quarantine.
bool resetPeak()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#endif
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// The text up to the middle of the first line that holds marker.
QByteArray cutInside(const QByteArray &text, const QByteArray &marker)
{
    const int at = text.indexOf(marker);
    return at < 0 ? QByteArray() : text.left(at + marker.size() / 2);
}

} // namespace

// Reading what FEFF 6 writes: chi(k) files, real ones (Cu fcc, made by
// /usr/bin/feff6 from data/feff.inp) and hand-made odd ones, and the path
// lists files.dat and paths.dat of a real rutile run (data/rutile).
class TstFeffOutput : public QObject
{
    Q_OBJECT
private slots:
    void feffFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("firstChi");
        QTest::addColumn<double>("lastChi");
        QTest::addColumn<double>("chiMin");
        QTest::addColumn<double>("chiMax");
        // Expected values from the files by a short Python script (split(),
        // float()) that follows the header rules independently.
        QTest::newRow("total chi.dat")
            << "chi.dat" << -0.3152744 << 0.01031053 << -0.4153992 << 0.1813604;
        QTest::newRow("path 1 chip0001.dat")
            << "chip0001.dat" << -0.4594932 << 0.003860102 << -0.4594932 << 0.2205626;
    }

    // Every file has 401 points, k = 0 to 20 by 0.05.
    void feffFiles()
    {
        QFETCH(QString, file);
        Chi chi;
        QSignalSpy logSpy(&chi, &Chi::log);
        const QString path = dataDir + QLatin1Char('/') + file;
        chi.readChiK(path);
        QVERIFY(chi.hasChiK && !chi.hasChiR);
        QCOMPARE(logSpy.count(), 0);
        QCOMPARE(chi.sourcePath, path);
        QVERIFY(chi.k.size() == 401 && chi.chi.size() == 401 && chi.k[1] == 0.05);
        QTEST(chi.chi.first(), "firstChi");
        QTEST(chi.chi.last(), "lastChi");
        QVERIFY(chi.kExtent.min == 0.0 && chi.kExtent.max == 20.0);
        QTEST(chi.chiExtent.min, "chiMin");
        QTEST(chi.chiExtent.max, "chiMax");
    }

    void oddFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<V>("k");
        QTest::addColumn<V>("chi");
        QTest::newRow("hash glued to k is no header") << QByteArray("#k chi\n1 2\n") << V{} << V{};
        QTest::newRow("numbers before the header are not data")
            << QByteArray("1 2\n3 4\nk chi\n5 6\n") << V{5} << V{6};
        QTest::newRow("blank, white-space and one-field lines inside the data")
            << QByteArray("k chi\n1 2\n\n   \n5\n3 4\n") << V{1, 3} << V{2, 4};
        QTest::newRow("non-numbers, Fortran D exponent and overflow read as 0")
            << QByteArray("k chi\n1 x\n2 1.0D+00\n3 1e400\n4 5\n") << V{1, 2, 3, 4}
            << V{0, 0, 0, 5};
        QTest::newRow("header-like lines after the data started")
            << QByteArray("k chi\n1 2\nk chi\n# k chi\n3 4") << V{1, 0, 0, 3} << V{2, 0, 0, 4};
        QTest::newRow("hash header, CRLF line ends")
            << QByteArray("# k chi\r\n1 2\r\n\r\n3 4\r\n") << V{1, 3} << V{2, 4};
        QTest::newRow("UTF-8 byte-order mark")
            << QByteArray("\xef\xbb\xbfk chi\n1 2\n") << V{1} << V{2};
        // Lines are looked at up to 65536 characters; the rest of a longer line
        // must be skipped without losing the next line.
        const QByteArray limit(65536, 'x');
        QTest::newRow("data line with a long tail")
            << QByteArray("k chi\n1 2 ") + QByteArray(200000, 'y') + "\n3 4\n"
            << V{1, 3} << V{2, 4};
        QTest::newRow("long line at the end without line end")
            << QByteArray("k chi\n1 2\n") + limit + limit << V{1} << V{2};
    }

    void oddFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(V, k);
        QFETCH(V, chi);
        const QString path = dir.filePath(QStringLiteral("odd.dat"));
        QVERIFY(writeFile(path, bytes));
        Chi data;
        holdPrevious(data);
        QSignalSpy logSpy(&data, &Chi::log);
        data.readChiK(path);
        QCOMPARE(logSpy.count(), 0);
        QCOMPARE(data.hasChiK, !k.isEmpty());
        QCOMPARE(text(data.k), text(k));
        QCOMPARE(text(data.chi), text(chi));
        QCOMPARE(data.sourcePath, path);
        QVERIFY(k.isEmpty() ? allCleared(data) : !data.hasChiR && data.r.isEmpty());
    }

    // A missing file whose path holds blanks and non-ASCII letters: nothing is
    // read, the old values go all the same, while sourcePath still names the
    // last file that could be opened.
    void unreadablePath()
    {
        const QString path = QStringLiteral("/no/such dir/Müller データ/chi.dat");
        Chi data;
        holdPrevious(data);
        QSignalSpy logSpy(&data, &Chi::log);
        data.readChiK(path);
        QVERIFY(!data.hasChiK && data.k.isEmpty() && data.chi.isEmpty() && allCleared(data));
        QCOMPARE(data.sourcePath, dataDir + "/chi.dat");
        QCOMPARE(logSpy.count(), 1);
        QCOMPARE(logSpy.at(0).at(0).toString(), "::Can not read chi(k) file : " + path);
    }

    // Bad input and bulk: no crash, a clear outcome, and memory for the points
    // only (two doubles each, with room for the vectors' growth), never for the
    // file: lines are never held whole.
    void bulk_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("points");
        QTest::addColumn<V>("ends"); // k and chi of the first and the last point, if any
        QTest::addColumn<int>("logs");
        QByteArray oneLine;
        oneLine.reserve(16 * 1024 * 1024);
        while (oneLine.size() < 15 * 1024 * 1024)
            oneLine += "k chi 1.5 -2 ";
        QTest::newRow("15 MB in one line without line end") << oneLine << 0 << V{} << 0;
        QByteArray many = "# k chi\n";
        for (int i = 0; i < 500000; ++i)
            many += QByteArray::number(i) + ".5 " + QByteArray::number(-i) + "e-6\n";
        QTest::newRow("500000 data lines") << many << 500000 << V{0.5, 0, 499999.5, -0.499999} << 0;
        // Refused unread, with one message: no chi(k) file is that large.
        QTest::newRow("beyond the 16 MB limit") << oneLine + oneLine << 0 << V{} << 1;
    }

    void bulk()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, points);
        QFETCH(V, ends);
        const QString path = dir.filePath(QStringLiteral("bulk.dat"));
        QVERIFY(writeFile(path, bytes));
        const bool measured = resetPeak();
        const qint64 before = statusKb("VmRSS:");
        Chi data;
        QSignalSpy logSpy(&data, &Chi::log);
        data.readChiK(path);
        const qint64 grown = statusKb("VmHWM:") - before;
        QTEST(int(logSpy.count()), "logs");
        QCOMPARE(data.hasChiK, points != 0);
        QCOMPARE(data.k.size(), data.chi.size());
        QCOMPARE(data.k.size(), points);
        if (points > 0)
            QCOMPARE((V{data.k.first(), data.chi.first(), data.k.last(), data.chi.last()}), ends);
        if (measured && before > 0)
            QVERIFY2(grown < 16 * 1024 + data.k.size() * 2 * 2 * 8 / 1024,
                     qPrintable(QStringLiteral("peak grew by %1 kB").arg(grown)));
    }

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
        QCOMPARE(text({id.reff, id.degeneracy, id.amplitude}), text({reff, degeneracy, amplitude}));
        QTEST(id.legs, "legs");
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
        QTemporaryDir job;
        QVERIFY(job.isValid());
        for (const QString &name : present)
            QVERIFY(QFile::copy(rutileDir + QLatin1Char('/') + name, job.filePath(name)));
        if (!garbage.isEmpty())
            QVERIFY(writeFile(job.filePath(QStringLiteral("paths.dat")), garbage));
        QString problem = QStringLiteral("unset");
        const QVector<PathIdentity> ids =
            FeffPaths::identify(job.path(), {QStringLiteral("chip0001.dat")}, &problem);
        QCOMPARE(ids.size(), 1);
        QCOMPARE(ids[0].number, 1);
        QCOMPARE(problem.isEmpty(), named.isEmpty());
        if (!named.isEmpty()) {
            QVERIFY2(problem.contains(named) && problem.contains(job.path()), qPrintable(problem));
            QCOMPARE(problem.count(QLatin1String(".dat")), named.count(QLatin1String(".dat")));
        }
        // Whatever the files, what was read stays: files.dat alone still gives the figures.
        QCOMPARE(ids[0].legs, present.contains("files.dat") ? 2 : 0);
        QCOMPARE(ids[0].route.isEmpty(), named.contains("paths.dat"));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TstFeffOutput)
#include "tst_feffoutput.moc"
