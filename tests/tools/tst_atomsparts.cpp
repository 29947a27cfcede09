#include "tools/atoms/cluster.h"
#include "tools/atoms/element.h"
#include "tools/atoms/feffwriter.h"
#include "tools/atoms/options.h"
#include "tools/atoms/symmetry.h"

#include <QtTest>

#include <cmath>

// The pieces of scatterdeck-atoms that the end-to-end runs reach only through
// a few structures: names, symbols, symmetry, the cut, options, text.

class TestAtomsParts : public QObject
{
    Q_OBJECT

private slots:
    void tableName_data();
    void tableName();
    void groupOrder_data();
    void groupOrder();
    void elementFromText_data();
    void elementFromText();
    void cut_data();
    void cut();
    void options_data();
    void options();
    void ascii_data();
    void ascii();
};

void TestAtomsParts::tableName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("origin 2 as Z") << "F d -3 m Z"
                                   << "F d -3 m:2";
    QTest::newRow("origin 1 as S") << "P n -3 n S"
                                   << "P n -3 n:1";
    QTest::newRow("hexagonal axes as H") << "R -3 c H"
                                         << "R -3 c:H";
    QTest::newRow("rhombohedral axes as R") << "R 3 m R"
                                            << "R 3 m:R";
    QTest::newRow("colon suffix kept") << "F d -3 m:2"
                                       << "F d -3 m:2";
    QTest::newRow("screw axis with underscore") << "P 6_3 m c"
                                                << "P 63 m c";
    QTest::newRow("blanks around") << "  P 1 21/c 1 "
                                   << "P 1 21/c 1";
    QTest::newRow("glide letter at the end is no suffix") << "P m m n"
                                                          << "P m m n";
    QTest::newRow("blank") << "   "
                           << "";
}

void TestAtomsParts::tableName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(Symmetry::tableName(name.toStdString())), expected);
}

void TestAtomsParts::groupOrder_data()
{
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QString>("hall");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("rhombohedralCell");
    QTest::addColumn<int>("order"); // operations in the conventional cell, 0: fails
    QTest::addColumn<QString>("description");

    // Orders from the International Tables: point-group order times centring.
    const QStringList none;
    QTest::newRow("F d -3 m Z") << none << ""
                                << "F d -3 m Z"
                                << "" << false << 192 << "origin choice 2";
    QTest::newRow("P 63 m c") << none << ""
                              << "P 63 m c"
                              << "" << false << 12 << "No. 186";
    QTest::newRow("R -3 c, hexagonal cell") << none << ""
                                            << "R -3 c"
                                            << "" << false << 36 << "hexagonal axes";
    QTest::newRow("R -3 c, rhombohedral cell") << none << ""
                                               << "R -3 c"
                                               << "" << true << 12 << "rhombohedral axes";
    QTest::newRow("R -3 c H, rhombohedral cell") << none << ""
                                                 << "R -3 c H"
                                                 << "" << true << 36 << "hexagonal axes";
    QTest::newRow("number 167, rhombohedral cell") << none << ""
                                                   << ""
                                                   << "167" << true << 12 << "rhombohedral axes";
    QTest::newRow("Hall -P 4n 2n") << none << "-P 4n 2n"
                                   << ""
                                   << "" << false << 16 << "P 42/m n m";
    QTest::newRow("number 221") << none << ""
                                << ""
                                << "221" << false << 48 << "P m -3 m";
    QTest::newRow("I m -3 m") << none << ""
                              << "I m -3 m"
                              << "" << false << 96 << "No. 229";
    QTest::newRow("generators of P 21/c") << QStringList{"-x,y+1/2,-z+1/2", "-x,-y,-z"} << ""
                                          << ""
                                          << "" << false << 4 << "P 1 21/c 1";
    QTest::newRow("loop wins over a wrong name") << QStringList{"x,y,z", "-x,-y,-z"} << ""
                                                 << "F m -3 m"
                                                 << "" << false << 2 << "P -1";
    QTest::newRow("bad loop falls back to the name") << QStringList{"x,y,z", "x,q,z"} << ""
                                                     << "P 4/m m m"
                                                     << "" << false << 16 << "No. 123";
    QTest::newRow("translation by 1/5 is no symmetry") << QStringList{"x+1/5,y,z"} << ""
                                                       << ""
                                                       << "" << false << 0 << "";
    QTest::newRow("operations that never close")
        << QStringList{"x+1/24,y,z", "y,x,z", "z,x,y"} << ""
        << ""
        << "" << false << 0 << "";
    QTest::newRow("number out of range") << none << ""
                                         << ""
                                         << "231" << false << 0 << "";
    QTest::newRow("nothing given") << none << ""
                                   << ""
                                   << "" << false << 1 << "P 1";
}

void TestAtomsParts::groupOrder()
{
    QFETCH(QStringList, operations);
    QFETCH(QString, hall);
    QFETCH(QString, name);
    QFETCH(QString, number);
    QFETCH(bool, rhombohedralCell);
    QFETCH(int, order);
    QFETCH(QString, description);

    SymmetryItems items;
    for (const QString &op : operations)
        items.operations.push_back(op.toStdString());
    items.hall = hall.toStdString();
    items.name = name.toStdString();
    items.number = number.toStdString();
    Crystal crystal;
    crystal.cell = rhombohedralCell ? CellParameters{5.128, 5.128, 5.128, 55.29, 55.29, 55.29}
                                    : CellParameters{4.759, 4.759, 12.991, 90, 90, 120};
    std::string error;
    const bool ok = Symmetry::resolve(items, crystal, error);
    QCOMPARE(ok, order > 0);
    if (!ok) {
        QVERIFY(!error.empty());
        return;
    }
    QCOMPARE(static_cast<int>(crystal.ops.size()), order);
    QVERIFY2(QString::fromStdString(crystal.spaceGroup).contains(description),
             crystal.spaceGroup.c_str());
    // The identity comes first and every operation is distinct.
    QCOMPARE(crystal.ops[0].rot,
             (std::array<std::array<int, 3>, 3>{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}));
    for (size_t i = 0; i < crystal.ops.size(); ++i)
        for (size_t j = i + 1; j < crystal.ops.size(); ++j)
            QVERIFY(crystal.ops[i].rot != crystal.ops[j].rot ||
                    crystal.ops[i].tran != crystal.ops[j].tran);
}

void TestAtomsParts::elementFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("z");

    QTest::newRow("cation with charge") << "Fe3+" << 26;
    QTest::newRow("charge sign first") << "Fe+3" << 26;
    QTest::newRow("anion") << "O2-" << 8;
    QTest::newRow("upper-case label") << "CL1" << 17;
    QTest::newRow("two letters win") << "Co1" << 27;
    QTest::newRow("one letter when two are no element") << "Ow2" << 8;
    QTest::newRow("deuterium") << "D" << 1;
    QTest::newRow("lower case") << "n1" << 7;
    QTest::newRow("last element") << "Lr" << 103;
    QTest::newRow("no letter first") << "1Fe" << 0;
    QTest::newRow("not an element") << "Xx" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestAtomsParts::elementFromText()
{
    QFETCH(QString, text);
    QFETCH(int, z);
    QCOMPARE(Element::fromText(text.toStdString()), z);
}

void TestAtomsParts::cut_data()
{
    QTest::addColumn<QVector<double>>("distances");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("kept");
    QTest::addColumn<double>("radius"); // -1: nothing cut

    const QVector<double> d{0, 1, 1, 1, 2, 2.00003, 3};
    QTest::newRow("limit splits the second shell") << d << 5 << 4 << 1.0;
    QTest::newRow("limit falls between shells") << d << 6 << 6 << 2.00003;
    QTest::newRow("limit right after a shell") << d << 4 << 4 << 1.0;
    QTest::newRow("everything fits") << d << 7 << 7 << -1.0;
    QTest::newRow("first shell too large") << d << 2 << 1 << 0.0;
}

void TestAtomsParts::cut()
{
    QFETCH(QVector<double>, distances);
    QFETCH(int, limit);
    QFETCH(int, kept);
    QFETCH(double, radius);

    std::vector<ClusterAtom> atoms;
    for (double d : distances)
        atoms.push_back({0, 29, {d, 0, 0}, d});
    QCOMPARE(Cluster::cut(atoms, static_cast<size_t>(limit)), radius);
    QCOMPARE(static_cast<int>(atoms.size()), kept);
}

void TestAtomsParts::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("core");
    QTest::addColumn<double>("radius");
    QTest::addColumn<double>("feffRmax");
    QTest::addColumn<int>("hole");
    QTest::addColumn<bool>("hydrogen");
    QTest::addColumn<bool>("merge");

    QTest::newRow("defaults") << QStringList{"-c", "a.cif"} << "a.cif"
                              << "" << 8.0 << 5.0 << 0 << false << true;
    QTest::newRow("file without -c") << QStringList{"a b.cif"} << "a b.cif"
                                     << "" << 8.0 << 5.0 << 0 << false << true;
    QTest::newRow("values after = and blanks")
        << QStringList{"--rmax=9.5", "--feff-rmax", "6", "--core=Fe1", "--cif", "x.cif"} << "x.cif"
        << "Fe1" << 9.5 << 6.0 << 0 << false << true;
    QTest::newRow("edge and switches")
        << QStringList{"--edge", "L3", "--hydrogen", "--no-merge", "-c", "x.cif"} << "x.cif"
        << "" << 8.0 << 5.0 << 4 << true << false;
    QTest::newRow("empty arguments from an empty setting")
        << QStringList{"", "-c", "a.cif", ""} << "a.cif"
        << "" << 8.0 << 5.0 << 0 << false << true;
    QTest::newRow("file name starting with a dash after --")
        << QStringList{"--", "-odd.cif"} << "-odd.cif"
        << "" << 8.0 << 5.0 << 0 << false << true;
}

void TestAtomsParts::options()
{
    QFETCH(QStringList, args);
    QFETCH(QString, path);
    QFETCH(QString, core);
    QFETCH(double, radius);
    QFETCH(double, feffRmax);
    QFETCH(int, hole);
    QFETCH(bool, hydrogen);
    QFETCH(bool, merge);

    std::vector<std::string> strings;
    for (const QString &a : args)
        strings.push_back(a.toStdString());
    std::vector<const char *> argv;
    for (const std::string &s : strings)
        argv.push_back(s.c_str());
    Options o;
    std::string error;
    QVERIFY2(o.parse(static_cast<int>(argv.size()), argv.data(), error), error.c_str());
    QCOMPARE(QString::fromStdString(o.cifPath), path);
    QCOMPARE(QString::fromStdString(o.core), core);
    QCOMPARE(o.radius, radius);
    QCOMPARE(o.feffRmax, feffRmax);
    QCOMPARE(o.hole, hole);
    QCOMPARE(o.keepHydrogen, hydrogen);
    QCOMPARE(o.mergePotentials, merge);
}

void TestAtomsParts::ascii_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("tag");

    QTest::newRow("UTF-8 letters")
        << QByteArray("K\xc3\xb6nig \xe6\x97\xa5\xe6\x9c\xac") << 80 << "K?nig ??"
        << "K_nig___";
    QTest::newRow("Latin-1 byte") << QByteArray("gr\xfcn") << 80 << "gr?n"
                                  << "gr_n";
    QTest::newRow("line ends and tabs")
        << QByteArray("\n  first\r\nsecond\tthird \n") << 80 << "first second third"
        << "first_seco";
    QTest::newRow("quotes in a label") << QByteArray("O1'") << 80 << "O1'"
                                       << "O1_";
    QTest::newRow("cut to length") << QByteArray("abcdefghijkl") << 5 << "abcde"
                                   << "abcdefghij";
    QTest::newRow("nothing left") << QByteArray(" \t ") << 80 << ""
                                  << "_";
}

void TestAtomsParts::ascii()
{
    QFETCH(QByteArray, text);
    QFETCH(int, maxLength);
    QFETCH(QString, comment);
    QFETCH(QString, tag);

    const std::string s = text.toStdString();
    QCOMPARE(QString::fromStdString(FeffWriter::ascii(s, static_cast<size_t>(maxLength))), comment);
    QCOMPARE(QString::fromStdString(FeffWriter::tag(s)), tag);
}

QTEST_GUILESS_MAIN(TestAtomsParts)
#include "tst_atomsparts.moc"
