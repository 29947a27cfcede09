#include "app/feffinp.h"
#include "app/textfuncs.h"

#include <QDir>
#include <QtTest>

class TstTextFuncs : public QObject
{
    Q_OBJECT
private slots:
    void takeToken_data();
    void takeToken();
    void joinPath_data();
    void joinPath();
    void comments_data();
    void comments();
    void trimLeft_data();
    void trimLeft();
    void parseFeffInp_data();
    void parseFeffInp();
    void putFeffInpReplacesInPlace();
    void nativePathUsesSeparator();
};

void TstTextFuncs::takeToken_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("rest");
    QTest::newRow("plain word") << "MAX_PROC 3"
                                << "MAX_PROC"
                                << " 3";
    QTest::newRow("leading blanks and tab") << " \t K_MIN\t2.5"
                                            << "K_MIN"
                                            << "\t2.5";
    QTest::newRow("only blanks") << "   "
                                 << ""
                                 << "";
    QTest::newRow("quoted with blanks") << "\"-S   datoms\" x"
                                        << "-S   datoms"
                                        << " x";
    QTest::newRow("quote without end") << " \"open ended text"
                                       << "open ended text"
                                       << "";
    QTest::newRow("empty quotes") << "\"\" rest"
                                  << ""
                                  << " rest";
    QTest::newRow("quote inside a word") << "ab\"cd ef"
                                         << "ab\"cd"
                                         << " ef";
    QTest::newRow("no blank after closing quote") << "\"a b\"c d"
                                                  << "a b"
                                                  << "c d";
}

void TstTextFuncs::takeToken()
{
    QFETCH(QString, text);
    QFETCH(QString, token);
    QFETCH(QString, rest);
    const auto result = ::takeToken(text);
    QCOMPARE(result.first, token);
    QCOMPARE(result.second, rest);
}

void TstTextFuncs::joinPath_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("joined");
    QTest::newRow("no slashes") << "C:/DemeterPerl"
                                << "c/bin"
                                << "C:/DemeterPerl/c/bin";
    QTest::newRow("slash on both sides") << "C:/DemeterPerl/"
                                         << "/c/bin"
                                         << "C:/DemeterPerl/c/bin";
    QTest::newRow("many slashes") << "/base///"
                                  << "///x"
                                  << "/base/x";
    QTest::newRow("backslashes kept") << "C:\\Demeter\\"
                                      << "\\bin"
                                      << "C:\\Demeter\\/\\bin";
    QTest::newRow("empty first") << ""
                                 << "00-Cif"
                                 << "/00-Cif";
}

void TstTextFuncs::joinPath()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, joined);
    QCOMPARE(::joinPath(first, second), joined);
}

void TstTextFuncs::comments_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("stripped");
    QTest::addColumn<bool>("blank");
    QTest::newRow("comment after value") << "MAX_PROC 3 # three"
                                         << "MAX_PROC 3 " << false;
    QTest::newRow("hash inside quotes still ends") << "A \"x#y\""
                                                   << "A \"x" << false;
    QTest::newRow("comment only") << "  # note"
                                  << "  " << true;
    QTest::newRow("blank with tab") << " \t "
                                    << " \t " << true;
    QTest::newRow("empty") << ""
                           << "" << true;
}

void TstTextFuncs::comments()
{
    QFETCH(QString, line);
    QFETCH(QString, stripped);
    QFETCH(bool, blank);
    QCOMPARE(stripComment(line), stripped);
    QCOMPARE(isBlankLine(line), blank);
}

void TstTextFuncs::trimLeft_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("leading blanks") << "   6.0 x "
                                    << "6.0 x ";
    QTest::newRow("all blank stays") << "   "
                                     << "   ";
}

void TstTextFuncs::trimLeft()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(::trimLeft(text), trimmed);
}

void TstTextFuncs::parseFeffInp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("commented");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cardText");
    QTest::newRow("plain card") << "RMAX   6.0" << false << "RMAX"
                                << "6.0";
    QTest::newRow("percent glued") << "%RMAX 6.0" << true << "RMAX"
                                   << "6.0";
    QTest::newRow("lone percent") << "%  RMAX 6.0" << true << "RMAX"
                                  << "6.0";
    QTest::newRow("both percents") << "% %RMAX 6.0" << true << "RMAX"
                                   << "6.0";
    QTest::newRow("several values") << " PRINT 1 0 0 3" << false << "PRINT"
                                    << "1 0 0 3";
    QTest::newRow("quoted name") << "\"TITLE\"  my run" << false << "TITLE"
                                 << "my run";
}

void TstTextFuncs::parseFeffInp()
{
    QFETCH(QString, text);
    QFETCH(bool, commented);
    QFETCH(QString, name);
    QFETCH(QString, cardText);
    QScopedPointer<FeffInp> entry(::parseFeffInp(text));
    QCOMPARE(entry->commented, commented);
    QCOMPARE(entry->name, name);
    QCOMPARE(entry->text, cardText);
}

void TstTextFuncs::putFeffInpReplacesInPlace()
{
    FeffInpList list;
    putFeffInp(list, ::parseFeffInp("RMAX 5.0"));
    putFeffInp(list, ::parseFeffInp("PRINT 1 0 0 3"));
    putFeffInp(list, ::parseFeffInp("%RMAX 6.0"));
    QCOMPARE(list.size(), 2);
    QCOMPARE(findFeffInp(list, "RMAX"), 0);
    QCOMPARE(list.at(0)->text, QString("6.0"));
    QVERIFY(list.at(0)->commented);
    QCOMPARE(findFeffInp(list, "PRINT"), 1);
    QCOMPARE(findFeffInp(list, "rmax"), -1);
    qDeleteAll(list);
}

void TstTextFuncs::nativePathUsesSeparator()
{
    const QString expected = QString("a%1b%1c").arg(QDir::separator());
    QCOMPARE(nativePath("a/b/c"), expected);
}

QTEST_APPLESS_MAIN(TstTextFuncs)
#include "tst_textfuncs.moc"
