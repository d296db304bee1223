#pragma once
// Settings of their own for the main window's benchmarks, in a temporary
// folder that goes with the object, with no update check.

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

class BenchSettings
{
public:
    BenchSettings()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("kolm-bench"));
        QCoreApplication::setApplicationName(QStringLiteral("KolmIDE"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings().setValue(QStringLiteral("Updates/Auto"), false);
    }

private:
    QTemporaryDir m_dir;
};
