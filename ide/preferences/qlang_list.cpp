#include "qlang_list.h"

#include "language_catalogues.h"

#include <QComboBox>
#include <QDir>
#include <QSettings>

namespace {

// The text of a language entry, also used to find the stored language's
// entry: a stored "ru_RU" and the catalogue's "ru" both read "Russian
// (Russia)".
QString entryText(const QLocale &locale)
{
    return QLocale::languageToString(locale.language()) + QStringLiteral(" (")
           + QLocale::countryToString(locale.country()) + QLatin1Char(')');
}

} // namespace

QList<QLocale> QLANG::availableLanguages()
{
    initLanguageCatalogues();
    QList<QLocale> languages{QLocale(QStringLiteral("en_US"))};
    const QStringList files = QDir(QStringLiteral(":/lang/")).entryList({QStringLiteral("*.qm")});
    for (QString name : files) {
        name.remove(QStringLiteral(".qm"));
        if (!name.contains(QLatin1Char('_')))
            continue;
        QStringList pieces = name.split(QLatin1Char('_'));
        pieces.removeFirst();
        languages.append(QLocale(pieces.join(QLatin1Char('_'))));
    }
    return languages;
}

void QLANG::setupLangCombo(QSettings &settings, QComboBox *combo)
{
    combo->clear();
    combo->addItem(QStringLiteral("System"), QLocale(QLocale::C, QLocale::AnyCountry));
    for (const QLocale &locale : availableLanguages())
        combo->addItem(entryText(locale), locale);

    const QString stored = settings.value(QStringLiteral("UI/Language"), QString()).toString();
    if (stored.isEmpty()) {
        combo->setCurrentIndex(0);
        return;
    }
    const int index = combo->findText(entryText(QLocale(stored)), Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index < 0 ? 0 : index);
}
