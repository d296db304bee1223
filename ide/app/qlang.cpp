#include "qlang.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace {

QString languageSetting(QSettings *store)
{
    const QString system = QLocale::system().name();
    const QString key = QStringLiteral("UI/Language");
    if (store)
        return store->value(key, system).toString();
    QSettings own(QCoreApplication::organizationName(), QCoreApplication::applicationName());
    return own.value(key, system).toString();
}

bool install(QCoreApplication *app, QTranslator *translator, bool loaded, QList<QTranslator *> &installed)
{
    if (!loaded) {
        delete translator;
        return false;
    }
    app->installTranslator(translator);
    installed.append(translator);
    return true;
}

} // namespace

namespace QLANG {

QList<QTranslator *> installLanguage(QCoreApplication *app, QSettings *store, const QString &directory)
{
    QList<QTranslator *> installed;
    QString lang = languageSetting(store);
    if (lang.isEmpty())
        lang = QLocale::system().name();

    auto *toolkit = new QTranslator;
    install(app, toolkit,
            toolkit->load(QStringLiteral("qt_") + lang, QLibraryInfo::location(QLibraryInfo::TranslationsPath)),
            installed);

    const QString code = lang.section(QLatin1Char('_'), 0, 0);
    const QString folder = QStringLiteral(":/%1/").arg(directory);
    const QStringList matches = QDir(folder).entryList({QStringLiteral("*_%1*.qm").arg(code)}, QDir::Files,
                                                       QDir::Name | QDir::IgnoreCase);
    if (!matches.isEmpty()) {
        auto *program = new QTranslator;
        install(app, program, program->load(folder + matches.first()), installed);
    }
    return installed;
}

} // namespace QLANG
