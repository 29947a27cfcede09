#include "app/analysiskeys.h"
#include "app/feffinp.h"
#include "app/paramtable.h"
#include "app/textfuncs.h"
#include "tests/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

// The configuration as text: tokens, comments and paths, FEFF card
// rewrites, the table of keys from a file, and the FT_* and FIT_* keys read
// from it.
namespace {

// A table of "KEY value" entries, as the configuration reader makes them.
ParamTable tableOf(const QStringList &entries)
{
    ParamTable params;
    for (const QString &entry : entries)
        params.add(entry.section(' ', 0, 0), entry.section(' ', 1), entry.section(' ', 1));
    return params;
}

} // namespace

class TstConfigText : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); }

    void takeToken_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("rest");
        auto row = [](const char *name, const char *text, const char *token, const char *rest) {
            QTest::newRow(name) << text << token << rest;
        };
        row("leading blanks and tab", " \t K_MIN\t2.5", "K_MIN", "\t2.5");
        row("quoted with blanks", "\"-S   datoms\" x", "-S   datoms", " x");
        row("quote without end", " \"open ended text", "open ended text", "");
        row("quote inside a word", "ab\"cd ef", "ab\"cd", " ef");
    }
    void takeToken()
    {
        QFETCH(QString, text);
        QFETCH(QString, token);
        QFETCH(QString, rest);
        QCOMPARE(::takeToken(text), std::make_pair(token, rest));
    }

    void joinPath_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("joined");
        auto row = [](const char *name, const char *first, const char *second, const char *joined) {
            QTest::newRow(name) << first << second << joined;
        };
        row("no slashes", "C:/DemeterPerl", "c/bin", "C:/DemeterPerl/c/bin");
        row("many slashes", "/base///", "///x", "/base/x");
    }
    void joinPath()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QTEST(::joinPath(first, second), "joined");
    }
    // One field of a tab-separated line stays one field.
    void tableField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain, blanks and letters beyond ASCII kept") << "/home/a b/Kupfer ö.cif"
                                                                     << "/home/a b/Kupfer ö.cif";
        QTest::newRow("tab, line feed and carriage return") << "a\tb\nc\r\nd"
                                                            << "a?b?c??d";
    }
    void tableField()
    {
        QFETCH(QString, text);
        QTEST(::tableField(text), "field");
    }
    // Six significant digits; what is not a finite number is "nan".
    void tableNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("rounded to six digits") << 0.00125449876 << "0.0012545";
        QTest::newRow("large, in exponent form") << 12345678.0 << "1.23457e+07";
        QTest::newRow("negative") << -0.2279592 << "-0.227959";
        QTest::newRow("infinite") << qInf() << "nan";
        QTest::newRow("not a number") << qQNaN() << "nan";
    }
    void tableNumber()
    {
        QFETCH(double, value);
        QTEST(::tableNumber(value), "text");
    }

    void comments_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("stripped");
        QTest::addColumn<bool>("blank");
        auto row = [](const char *name, const char *line, const char *stripped, bool blank) {
            QTest::newRow(name) << line << stripped << blank;
        };
        row("hash inside quotes still ends", "A \"x#y\"", "A \"x", false);
        row("comment only", "  # note", "  ", true);
        row("blank with tab", " \t ", " \t ", true);
    }
    void comments()
    {
        QFETCH(QString, line);
        QTEST(stripComment(line), "stripped");
        QTEST(isBlankLine(line), "blank");
    }

    void parseFeffInp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("commented");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cardText");
        auto row = [](const char *text, bool commented, const char *name, const char *cardText) {
            QTest::newRow(text) << text << commented << name << cardText;
        };
        row("RMAX   6.0", false, "RMAX", "6.0");
        row("\"TITLE\"  my run  ", false, "TITLE", "my run  ");
    }
    void parseFeffInp()
    {
        QFETCH(QString, text);
        QScopedPointer<FeffInp> entry(::parseFeffInp(text));
        QTEST(entry->commented, "commented");
        QTEST(entry->name, "name");
        QTEST(entry->text, "cardText");
    }

    // A later entry for the same card replaces the earlier one where it stands.
    void putFeffInpReplacesInPlace()
    {
        FeffInpList list;
        for (const char *card : {"RMAX 5.0", "PRINT 1 0 0 3", "%RMAX 6.0"})
            putFeffInp(list, ::parseFeffInp(card));
        QCOMPARE(list.size(), 2);
        QCOMPARE(findFeffInp(list, "RMAX"), 0);
        QCOMPARE(list.at(0)->text, QString("6.0"));
        QVERIFY(list.at(0)->commented);
        QCOMPARE(findFeffInp(list, "PRINT"), 1);
        QCOMPARE(findFeffInp(list, "rmax"), -1);
        qDeleteAll(list);
    }

    // Shift-JIS without a byte-order mark, else what the mark says.
    void fileLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("rest");
        auto row = [](const char *name, const QByteArray &content, const char *key,
                      const QString &value, const QString &rest) {
            QTest::newRow(name) << content << key << value << rest;
        };
        row("value and rest", "feff_inp PRINT 1 0 0 3\n", "feff_inp", "PRINT", " PRINT 1 0 0 3");
        row("comment after value", "MAX_PROC 3 # three\n", "MAX_PROC", "3", " 3 ");
        row("quoted words stay together", "ATOMS_ARG \"-S   datoms\"\n", "ATOMS_ARG", "-S   datoms",
            " \"-S   datoms\"");
        row("CRLF, blank and comment lines", "\r\n   \r\n# K_MIN 9\r\n\tK_MIN 2.5\r\n", "K_MIN",
            "2.5", " 2.5");
        row("Shift-JIS", "RES_FILES \x8c\x8b\x89\xca", "RES_FILES", "結果", " 結果");
        row("UTF-8 with mark", "\xEF\xBB\xBFRES_FILES 結果ö", "RES_FILES", "結果ö", " 結果ö");
    }
    void fileLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        ParamTable table;
        table.readFile(writeFile(content));
        QCOMPARE(table.size(), 1);
        QTEST(table.exactValue(key), "value");
        QTEST(table.rests(key).value(0), "rest");
    }

    void unreadableFiles()
    {
        ParamTable table;
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable("Can't open config file :  \"" + dir.path() + "\""));
        table.readFile(dir.path()); // a directory
        QCOMPARE(table.size(), 0);

        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 37) & 0xff));
        table.readFile(writeFile(binary)); // must simply not crash
        QVERIFY(!table.hasKey("MAX_PROC"));

        ParamTable big;
        big.readFile(
            writeFile("MAX_PROC 2 " + QByteArray(10 * 1024 * 1024, 'x') + "\nK_MIN 1.5\n"));
        QCOMPARE(big.value("MAX_PROC", "6"), QString("2"));
        QCOMPARE(big.value("K_MIN", "3.0"), QString("1.5"));
    }

    // FT_* and FIT_* keys: good values taken, every bad one reported once with
    // the default kept.
    void analysisKeys_data()
    {
        QTest::addColumn<QStringList>("entries"); // "KEY value"
        QTest::addColumn<bool>("standard");
        QTest::addColumn<int>("kWeight");
        QTest::addColumn<double>("dk");
        QTest::addColumn<int>("fitWeight");
        QTest::addColumn<double>("rMin");
        QTest::addColumn<double>("rMax");
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("all given, any case")
            << QStringList{"ft_mode Standard", "FT_KWEIGHT 3", "FT_DK 0",
                           "FIT_KWEIGHT 0",    "FIT_RMIN 1.5", "FIT_RMAX 2.5"}
            << true << 3 << 0.0 << 0 << 1.5 << 2.5 << QStringList();
        QTest::newRow("bad mode") << QStringList{"FT_MODE fancy"} << false << 2 << 1.0 << 2 << 1.0
                                  << 3.0
                                  << QStringList{"FT_MODE fancy is neither plain nor standard: "
                                                 "plain is used"};
        QTest::newRow("weights out of range or not whole")
            << QStringList{"FT_KWEIGHT 4", "FIT_KWEIGHT 1.5"} << false << 2 << 1.0 << 2 << 1.0
            << 3.0
            << QStringList{"FT_KWEIGHT 4 is not a k weight 0, 1, 2 or 3: 2 is used",
                           "FIT_KWEIGHT 1.5 is not a k weight 0, 1, 2 or 3: 2 is used"};
        QTest::newRow("R range reversed")
            << QStringList{"FIT_RMIN 3", "FIT_RMAX 2"} << false << 2 << 1.0 << 2 << 1.0 << 3.0
            << QStringList{"FIT_RMIN 3 and FIT_RMAX 2 are no range from 0 to 30: 1 to 3 is used"};
    }
    void analysisKeys()
    {
        QFETCH(QStringList, entries);
        const ParamTable params = tableOf(entries);
        FtOptions ft;
        FitOptions fit;
        const QStringList problems = AnalysisKeys::read(params, ft, fit);
        QTEST(problems, "problems");
        QTEST(ft.standard, "standard");
        QTEST(ft.kWeight, "kWeight");
        QTEST(ft.dk, "dk");
        QTEST(fit.kWeight, "fitWeight");
        QTEST(fit.rMin, "rMin");
        QTEST(fit.rMax, "rMax");
    }

    // The path fit's path choice: FIT_PATH_RMAX above 0, FIT_PATHS whole from 1.
    void pathChoiceKeys_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<double>("pathRMax");
        QTest::addColumn<int>("maxPaths");
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("both given")
            << QStringList{"FIT_PATH_RMAX 4.2", "fit_paths 12"} << 4.2 << 12 << QStringList();
        QTest::newRow("out of range")
            << QStringList{"FIT_PATH_RMAX 0", "FIT_PATHS 0"} << 5.0 << 20
            << QStringList{"FIT_PATH_RMAX 0 is not a distance above 0: 5 is used",
                           "FIT_PATHS 0 is not a number of paths from 1 up: 20 is used"};
        QTest::newRow("a number far too large")
            << QStringList{"FIT_PATH_RMAX 1e9"} << 5.0 << 20
            << QStringList{"FIT_PATH_RMAX 1e9 is beyond ±1000000: 5 is used"};
        QTest::newRow("not numbers")
            << QStringList{"FIT_PATH_RMAX far", "FIT_PATHS 2.5"} << 5.0 << 20
            << QStringList{"FIT_PATH_RMAX far is not a number: 5 is used",
                           "FIT_PATHS 2.5 is not a number of paths from 1 up: 20 is used"};
    }
    void pathChoiceKeys()
    {
        QFETCH(QStringList, entries);
        const ParamTable params = tableOf(entries);
        FtOptions ft;
        FitOptions fit;
        QTEST(AnalysisKeys::read(params, ft, fit), "problems");
        QTEST(fit.pathRMax, "pathRMax");
        QTEST(fit.maxPaths, "maxPaths");
    }

private:
    QString writeFile(const QByteArray &bytes)
    {
        const QString name = dir.filePath(QString("cfg%1.cfg").arg(++fileCount));
        return ::writeFile(name, bytes) ? name : QString();
    }
    QTemporaryDir dir;
    int fileCount = 0;
};

QTEST_GUILESS_MAIN(TstConfigText)
#include "tst_configtext.moc"
