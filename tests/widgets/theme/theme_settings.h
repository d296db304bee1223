#ifndef KOLM_TEST_THEME_SETTINGS_H
#define KOLM_TEST_THEME_SETTINGS_H

// Settings of a theme test kept in a directory of its own.

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

inline void useOwnSettings(const QTemporaryDir &dir)
{
    QCoreApplication::setOrganizationName(QStringLiteral("kolm-test"));
    QCoreApplication::setApplicationName(QStringLiteral("theme"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
}

#endif
