#pragma once

// A project on disk for the package tests: root/proj holds "p.kcpro" with a
// main script, a script under lib/, a schematic and a board package;
// root/side holds a script the project names from outside its directory.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>

#include <memory>

#include "kolmpackagelog.h"
#include "kolmproject.h"
#include "project_test_support.h"

// A package log as lines "I: text" and "E: text".
inline QStringList texts(const KolmPackageLog& log)
{
    QStringList list;
    for (const KolmPackageMessage& message : log)
        list.append(QString(message.error ? "E: " : "I: ") + message.text);
    return list;
}

class PackageFixture
{
public:
    PackageFixture()
    {
        writeProjectFile(R"({"name": "p", "files": [
            {"name": "main.kos", "path": "", "flags": ["main"]},
            {"name": "util.kos", "path": "lib", "flags": []},
            {"name": "c.kos", "path": "../side", "flags": []}],
            "misc": [{"name": "schematic.svg", "type": "schematic"}],
            "bsp": "board.kbsp"})");
        writeBytes(proj("main.kos"), "#include \"lib/util.kos\"\nvoid main() { }\n");
        writeBytes(proj("lib/util.kos"), "int twice(int x) { return x * 2; }\n");
        writeBytes(proj("schematic.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n");
        writeBytes(proj("board.kbsp"), "<bsp/>\n");
        writeBytes(path("side/c.kos"), "int c;\n");
    }

    QString path(const QString& name) const { return m_root.filePath(name); }
    QString proj(const QString& name) const { return path(QStringLiteral("proj/") + name); }

    void writeProjectFile(const QByteArray& json) const { writeBytes(proj("p.kcpro"), json); }

    // The project as the window would hold it; null when it does not load.
    std::unique_ptr<KolmProject> load() const
    {
        auto project = std::make_unique<KolmProject>();
        return project->load(proj("p.kcpro")) ? std::move(project) : nullptr;
    }

    // Every file below a directory, by relative path, with its bytes.
    static QMap<QString, QByteArray> files(const QString& directory)
    {
        QMap<QString, QByteArray> found;
        QDirIterator it(directory, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            found.insert(QDir(directory).relativeFilePath(file), readBytes(file));
        }
        return found;
    }

private:
    QTemporaryDir m_root;
};
