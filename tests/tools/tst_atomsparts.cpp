#include "tools/atoms/cluster.h"
#include "tools/atoms/element.h"
#include "tools/atoms/feffwriter.h"
#include "tools/atoms/options.h"
#include "tools/atoms/symmetry.h"

#include <QtTest>

// The pieces of scatterdeck-atoms that the end-to-end runs reach only through
// a few structures: names, symbols, symmetry, the cut, options, text.

class TestAtomsParts : public QObject
{
    Q_OBJECT

private slots:
    void groupOrder_data()
    {
        QTest::addColumn<QStringList>("operations");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("rhombohedralCell");
        QTest::addColumn<int>("order"); // operations in the conventional cell, 0: fails
        QTest::addColumn<QString>("description");

        auto row = [](const char *name, const QStringList &operations, const char *hm,
                      const char *number, bool rhombohedralCell, int order,
                      const char *description) {
            QTest::newRow(name) << operations << QString(hm) << QString(number) << rhombohedralCell
                                << order << QString(description);
        };
        // Orders from the International Tables: point-group order times centring.
        // The settings the test structures use are checked through their shells.
        row("origin 1 as S", {}, "P n -3 n S", "", false, 48, "origin choice 1");
        row("rhombohedral axes as R, hexagonal cell", {}, "R 3 m R", "", false, 6, "rhombohedral");
        row("screw axis with underscore", {}, "P 6_3 m c", "", false, 12, "No. 186");
        row("R -3 c H, rhombohedral cell", {}, "R -3 c H", "", true, 36, "hexagonal axes");
        row("number 167, rhombohedral cell", {}, "", "167", true, 12, "rhombohedral axes");
        row("loop wins over a wrong name", {"x,y,z", "-x,-y,-z"}, "F m -3 m", "", false, 2, "P -1");
        row("identity alone", {"x,y,z"}, "", "", false, 1, "P 1 (No. 1), 1 operation from");
        row("translation by 1/5 is no symmetry", {"x+1/5,y,z"}, "", "", false, 0, "");
        row("operations that never close", {"x+1/24,y,z", "y,x,z", "z,x,y"}, "", "", false, 0, "");
    }
    void groupOrder()
    {
        QFETCH(QStringList, operations);
        QFETCH(QString, name);
        QFETCH(QString, number);
        QFETCH(bool, rhombohedralCell);
        QFETCH(int, order);
        QFETCH(QString, description);

        SymmetryItems items;
        for (const QString &op : operations)
            items.operations.push_back(op.toStdString());
        items.name = name.toStdString();
        items.number = number.toStdString();
        Crystal crystal;
        crystal.cell = rhombohedralCell ? CellParameters{5.128, 5.128, 5.128, 55.29, 55.29, 55.29}
                                        : CellParameters{4.759, 4.759, 12.991, 90, 90, 120};
        std::string error;
        const bool ok = Symmetry::resolve(items, crystal, error);
        QCOMPARE(ok, order > 0);
        QCOMPARE(error.empty(), ok);
        if (!ok)
            return;
        QCOMPARE(static_cast<int>(crystal.ops.size()), order);
        QVERIFY2(QString::fromStdString(crystal.spaceGroup).contains(description),
                 crystal.spaceGroup.c_str());
        for (size_t i = 0; i < crystal.ops.size(); ++i)
            for (size_t j = i + 1; j < crystal.ops.size(); ++j)
                QVERIFY(crystal.ops[i].rot != crystal.ops[j].rot ||
                        crystal.ops[i].tran != crystal.ops[j].tran);
    }
    void elementFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("z");

        QTest::newRow("cation with charge") << "Fe3+" << 26;
        QTest::newRow("two letters win") << "Co1" << 27;
        QTest::newRow("one letter when two are no element") << "Ow2" << 8;
        QTest::newRow("not an element") << "Xx" << 0;
    }
    void elementFromText()
    {
        QFETCH(QString, text);
        QTEST(Element::fromText(text.toStdString()), "z");
    }
    void cut_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("kept");
        QTest::addColumn<double>("radius"); // -1: nothing cut

        // Distances 0, 1, 1, 1, 2, 2.00003 (the same shell), 3.
        QTest::newRow("limit splits the second shell") << 5 << 4 << 1.0;
        QTest::newRow("limit falls between shells") << 6 << 6 << 2.00003;
        QTest::newRow("first shell too large") << 2 << 1 << 0.0;
    }
    void cut()
    {
        QFETCH(int, limit);

        std::vector<ClusterAtom> atoms;
        for (double d : {0.0, 1.0, 1.0, 1.0, 2.0, 2.00003, 3.0})
            atoms.push_back({0, 29, {d, 0, 0}, d});
        QTEST(Cluster::cut(atoms, static_cast<size_t>(limit)), "radius");
        QTEST(static_cast<int>(atoms.size()), "kept");
    }
    void options_data()
    {
        QTest::addColumn<QByteArrayList>("args");
        QTest::addColumn<QString>("expected"); // file|core|radius|feffRmax|hole|hydrogen|merge

        QTest::newRow("defaults, file without -c")
            << QByteArrayList{"a b.cif"} << "a b.cif||8|5|0|0|1";
        QTest::newRow("edge, switches, value after =")
            << QByteArrayList{"--edge",     "L3",    "--hydrogen", "--no-merge",
                              "--core=Fe1", "--cif", "x.cif"}
            << "x.cif|Fe1|8|5|4|1|0";
        QTest::newRow("file name starting with a dash after --")
            << QByteArrayList{"--", "-odd.cif"} << "-odd.cif||8|5|0|0|1";
    }
    void options()
    {
        QFETCH(QByteArrayList, args);

        std::vector<const char *> argv;
        for (const QByteArray &a : args)
            argv.push_back(a.constData());
        Options o;
        std::string error;
        QVERIFY2(o.parse(static_cast<int>(argv.size()), argv.data(), error), error.c_str());
        const QStringList found{QString::fromStdString(o.cifPath), QString::fromStdString(o.core),
                                QString::number(o.radius),         QString::number(o.feffRmax),
                                QString::number(o.hole),           QString::number(o.keepHydrogen),
                                QString::number(o.mergePotentials)};
        QTEST(found.join('|'), "expected");
    }
    void ascii_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("tag");

        auto row = [](const char *name, const char *text, int max, const char *comment,
                      const char *tag) {
            QTest::newRow(name) << QByteArray(text) << max << QString(comment) << QString(tag);
        };
        row("UTF-8 letters", "K\xc3\xb6nig \xe6\x97\xa5\xe6\x9c\xac", 80, "K?nig ??", "K_nig___");
        row("line ends and tabs", "\n  first\r\nsecond\tthird \n", 80, "first second third",
            "first_seco");
        row("cut to length", "abcdefghijkl", 5, "abcde", "abcdefghij");
    }
    void ascii()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, maxLength);

        const std::string s = text.toStdString();
        QTEST(QString::fromStdString(FeffWriter::ascii(s, static_cast<size_t>(maxLength))),
              "comment");
        QTEST(QString::fromStdString(FeffWriter::tag(s)), "tag");
    }
};

QTEST_GUILESS_MAIN(TestAtomsParts)
#include "tst_atomsparts.moc"
