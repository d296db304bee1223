#ifndef KOLM_TEST_TEMP_SETTINGS_H
#define KOLM_TEST_TEMP_SETTINGS_H

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

// Points the application's default QSettings at an empty temporary folder
// for the life of the object, so tests neither read nor write the user's
// settings and do not share them with tests running in parallel.
class TempSettings
{
public:
    TempSettings()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("kolm-test"));
        QCoreApplication::setApplicationName(QStringLiteral("KolmIDE"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_dir.path() + QStringLiteral("/system"));
    }

    void set(const QString &key, const QVariant &value) { QSettings().setValue(key, value); }

private:
    QTemporaryDir m_dir;
};

#endif
