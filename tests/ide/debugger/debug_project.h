#ifndef KOLM_TEST_DEBUG_PROJECT_H
#define KOLM_TEST_DEBUG_PROJECT_H

// A project on disk for the debugger tests: the project file "debug.kcpro"
// in a fresh folder and its main file src/main.kos with the given text.

#include "kolmproject.h"
#include "temp_dir.h"

#include <QString>

#include <memory>

class DebugProject {
public:
    explicit DebugProject(const QByteArray &mainText)
    {
        std::filesystem::create_directory(m_dir.path("src"));
        m_dir.write("src/main.kos", mainText.toStdString());
        m_dir.write("debug.kcpro",
                    R"({"name":"debug","output":"debug.kcs","files":[{"path":"src","name":"main.kos","flags":["main"]}]})");
        m_ok = m_project.load(QString::fromStdString(m_dir.path("debug.kcpro")));
    }

    bool loaded() const { return m_ok; }
    KolmProject *project() { return &m_project; }
    QString path(const char *name) const { return QString::fromStdString(m_dir.path(name)); }

private:
    TempDir m_dir;
    KolmProject m_project;
    bool m_ok = false;
};

#endif
