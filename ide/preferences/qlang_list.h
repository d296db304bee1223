#ifndef KOLM_QLANG_LIST_H
#define KOLM_QLANG_LIST_H

// The interface languages on offer (installLanguage, which puts one in
// force at start-up, is in ide/app/qlang.h). The setting "UI/Language"
// holds a locale name (ru_RU) or the empty string, which follows the
// system's language. The
// languages on offer are English, the language of the program's own texts,
// and one for each catalogue ":/lang/<prefix>_<locale>.qm". A new choice
// takes effect when the application next starts, as its translators are
// installed only then.

#include <QList>
#include <QLocale>

class QComboBox;
class QSettings;

namespace QLANG {

// English (United States) first, then the locale of each catalogue in
// ":/lang/", in the order of their file names; a file whose name holds no
// "_" is left out.
QList<QLocale> availableLanguages();

// Refills `combo` with "System" and the languages on offer ("Russian
// (Russia)"), each entry carrying its QLocale under Qt::UserRole, and
// selects the entry that "UI/Language" in `settings` names; "System" when
// the value is empty or names no language on offer.
void setupLangCombo(QSettings &settings, QComboBox *combo);

} // namespace QLANG

#endif
