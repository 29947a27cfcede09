#include "app/body.h"
#include "app/paramtable.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTextCodec>
#include <QTranslator>

int main(int argc, char *argv[])
{
    auto *args = new ParamTable(argc, argv);
    if (args->hasKey(QStringLiteral("-batch"))) {
        // The jobs are widgets, but a batch run shows none: the offscreen
        // platform needs no display. Debug chatter would bury the log lines on
        // standard error (QT_LOGGING_RULES="default.debug=true" brings it back).
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }
    QApplication::setStyle(QStringLiteral("Fusion"));
    auto *app = new QApplication(argc, argv);
    auto *translator = new QTranslator;
    if (!args->hasKey(QStringLiteral("-e")))
        translator->load(QStringLiteral(":Scatterdeck_ja_JP"), QApplication::applicationDirPath());
    QApplication::installTranslator(translator);

#ifdef Q_OS_WIN
    // Elsewhere Qt 5 also encodes file names, the current directory and
    // process arguments with the locale codec, which would mangle every
    // non-ASCII path. Text files get Shift-JIS through their streams instead.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("Shift-JIS"));
#endif

    auto *body = new Body(*args);
    QObject::connect(body, &Body::finishing, app, &QApplication::closeAllWindows);
    const int result = QApplication::exec();

    delete body;
    delete translator;
    delete app;
    delete args;
    return result;
}
