// One IDE pass and the first pass's command line, settings and theme.

#include "app_runner.h"

#include "builtin_board_packages.h"
#include "ide_resources.h"
#include "language_catalogues.h"
#include "qlang.h"
#include "qmaterialfont.h"
#include "quit_signals.h"
#include "restart_loop.h"
#include "singleapp.h"
#include "themedetector.h"
#include "titleroomstyle.h"
#include "zurovurazev.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QTranslator>

const char KolmOrganization[] = "kolm.dev";

namespace {

// Live across passes: the command line is read by the first pass only.
QCommandLineParser parser;
bool first_start = true;

const char LanguageKey[] = "UI/Language";

void firstPass(QApplication &app)
{
    first_start = false;
    parser.addVersionOption();
    parser.addHelpOption();
    parser.setApplicationDescription(QStringLiteral("Halvane Kolm Integrated Development Environment."));
    ThemeDetector::addOptions(parser);
    const QCommandLineOption reset(QStringLiteral("reset"), QStringLiteral("Reset all settings to their default value."));
    const QCommandLineOption lang({QStringLiteral("l"), QStringLiteral("lang")},
                                  QStringLiteral("Set UI language to <lang>."), QStringLiteral("lang"));
    const QCommandLineOption dfu({QStringLiteral("d"), QStringLiteral("dfu")}, QStringLiteral("Run in DFU mode."));
    parser.addOption(reset);
    parser.addOption(lang);
    parser.addOption(dfu);
    parser.process(app);

    QSettings settings;
    bool cleared = false;
    if (parser.isSet(reset)
        && QMessageBox::question(nullptr, QStringLiteral("Reset settings"),
                                 QStringLiteral("Are you sure you want to reset <b>all</b> settings?<br>"
                                                "This operation cannot be undone!"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes) {
        settings.clear();
        settings.setValue(QLatin1String(LanguageKey), QLocale::system().name());
        QMessageBox::information(nullptr, QStringLiteral("Reset settings"), QStringLiteral("Settings have been cleared"),
                                 QMessageBox::Ok);
        cleared = true;
    }
    if (!cleared) {
        if (parser.isSet(lang))
            settings.setValue(QLatin1String(LanguageKey), parser.value(lang));
        else if (!settings.contains(QLatin1String(LanguageKey)))
            settings.setValue(QLatin1String(LanguageKey), QLocale::system().name());
    }
    ThemeDetector::init(&parser, QStringLiteral("DarkMode"));
    QMaterialIcon::instance()->setDefaultColors(ThemeDetector::isDarkThemeEnabled());
}

} // namespace

int app_runner(int argc, char **argv, QString &transport, QString &product)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    auto *app = new QApplication(argc, argv);
    initIdeResources();
    initBuiltinBoardPackages();
    initLanguageCatalogues();
    QCoreApplication::setOrganizationName(QLatin1String(KolmOrganization));
    QCoreApplication::setApplicationName(QStringLiteral("KolmIDE"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.2.1"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kolmide.ico")));

    auto *guard = new SingleAppHandler(app);
    if (!guard->isSingle()) {
        guard->sendMessage(QStringLiteral("show"));
        delete guard;
        delete app;
        return 0;
    }

    // The icon font belongs to the application object it was registered
    // with: a later pass registers it again.
    if (!QMaterialIcon::instance()->takeFresh()) {
        QMaterialIcon::instance()->deinit();
        QMaterialIcon::instance()->init();
        ThemeDetector::reinit();
    }
    if (first_start)
        firstPass(*app);
    installTitleRoomStyle();

    const QList<QTranslator *> translators = QLANG::installLanguage(app, nullptr, QStringLiteral("lang"));

    auto *window = new ZuROVUrazev;
    QObject::connect(guard, &SingleAppHandler::incomingMessage, window, &ZuROVUrazev::externalMessage);
    window->readSettings();
    // SIGTERM, SIGINT and SIGHUP close the window as Quit does, which stops
    // the emulator child; the pass then ends even with a dialog of the
    // window still open.
    auto *quitSignals = new QuitSignals(window);
    QObject::connect(quitSignals, &QuitSignals::received, window, [window] {
        if (window->close())
            QCoreApplication::exit(0);
    });
    window->show();
    const int code = QApplication::exec();
    transport = window->dfuTransport();
    product = window->dfuProduct();
    window->writeSettings();
    delete window;

    for (QTranslator *translator : translators) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    delete guard;
    delete app;
    return idePassResult(code);
}
