#ifndef KOLM_QLANG_H
#define KOLM_QLANG_H

// The interface language: the toolkit's catalogue and the program's
// catalogue for the language of the setting "UI/Language".

#include <QList>
#include <QString>

class QCoreApplication;
class QSettings;
class QTranslator;

namespace QLANG {

// Reads "UI/Language" from `store` (null: the application's own settings);
// missing or empty means the system locale. Installs Qt's "qt_<lang>"
// catalogue and the first catalogue of the resource folder ":/<directory>/"
// whose name matches "*_<language code>*.qm". Returns the installed
// translators, the toolkit's first; the caller removes and deletes them.
QList<QTranslator *> installLanguage(QCoreApplication *app, QSettings *store, const QString &directory);

} // namespace QLANG

#endif
