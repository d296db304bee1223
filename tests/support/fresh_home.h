#ifndef KOLM_TEST_FRESH_HOME_H
#define KOLM_TEST_FRESH_HOME_H

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

// Points HOME at an empty temporary folder for the life of the object, as on
// a fresh account: no documents folder and no user folder configuration
// (XDG_CONFIG_HOME lies inside it too). Both variables are restored after.
class FreshHome
{
public:
    FreshHome()
        : m_home(qgetenv("HOME")),
          m_config(qgetenv("XDG_CONFIG_HOME")),
          m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral(".config"))));
    }
    ~FreshHome()
    {
        qputenv("HOME", m_home);
        if (m_hadConfig)
            qputenv("XDG_CONFIG_HOME", m_config);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    FreshHome(const FreshHome&) = delete;
    FreshHome& operator=(const FreshHome&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
    QByteArray m_config;
    bool m_hadConfig;
};

#endif
