#pragma once

// A Kolm project in a temporary folder for the project page's tests: the
// project file, its scripts and package, a page with the project set, and
// the page's signals in the order they came.

#include "child_process.h"
#include "file_bytes.h"
#include "kolmproject.h"
#include "kolmprojectwindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// The page's signals as text: "information: ...", "error: ...",
// "compilationFinished: true", "compiledChanged: false", ...
class SignalLog : public QObject
{
public:
    explicit SignalLog(KolmProjectWindow* page)
    {
        connect(page, &KolmProjectWindow::information, this, [this](const QString& m) { add("information", m); });
        connect(page, &KolmProjectWindow::error, this, [this](const QString& m) { add("error", m); });
        connect(page, &KolmProjectWindow::compilationFinished, this,
                [this](bool on) { add("compilationFinished", on ? "true" : "false"); });
        connect(page, &KolmProjectWindow::compiledChanged, this,
                [this](bool on) { add("compiledChanged", on ? "true" : "false"); });
        connect(page, &KolmProjectWindow::projectModified, this,
                [this](bool on) { add("projectModified", on ? "true" : "false"); });
        connect(page, &KolmProjectWindow::hideRequested, this, [this] { add("hideRequested", QString()); });
    }

    QStringList events;

    // The events of one signal, values only.
    QStringList of(const QString& name) const
    {
        QStringList values;
        for (const QString& event : events)
            if (event.startsWith(name + ": "))
                values.append(event.mid(name.size() + 2));
        return values;
    }

private:
    void add(const QString& name, const QString& value) { events.append(name + ": " + value); }
};

class ProjectFolder
{
public:
    ProjectFolder()
    {
        m_project = QJsonObject{{"name", "demo"},
                                {"output", "out/demo.kcs"},
                                {"files", QJsonArray{QJsonObject{{"name", "main.kos"}, {"path", ""},
                                                                 {"flags", QJsonArray{"main"}}}}}};
    }

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const { writeBytes(path(name), bytes); }

    QByteArray read(const QString& name) const { return readBytes(path(name)); }

    // The project file's top-level object, written by load().
    QJsonObject& json() { return m_project; }

    void addFile(const QString& name)
    {
        QJsonArray files = m_project.value("files").toArray();
        files.append(QJsonObject{{"name", name}, {"path", ""}, {"flags", QJsonArray{}}});
        m_project.insert("files", files);
    }

    // Writes the project file and loads it; null when loading fails.
    KolmProject* load() const
    {
        write("demo.kcpro", QJsonDocument(m_project).toJson());
        auto project = std::make_unique<KolmProject>();
        if (!project->load(path("demo.kcpro")))
            return nullptr;
        return project.release();
    }

private:
    QTemporaryDir m_dir;
    QJsonObject m_project;
};

// A project folder and a page with its signals.
struct Session {
    ProjectFolder folder;
    KolmProjectWindow page;
    SignalLog log{&page};

    explicit Session(const QByteArray& script) { folder.write("main.kos", script); }

    bool open()
    {
        KolmProject* project = folder.load();
        return project && page.setProject(project);
    }

    // Builds and returns the events of the build alone.
    QStringList build()
    {
        log.events.clear();
        page.compile();
        return log.events;
    }

    QString output() const { return folder.path("out/demo.kcs"); }
};

// The result that halvane-kdb reports for an image: "Return value: N".
inline std::string runImage(const QString& image)
{
    ChildProcess kdb({KDB_PROGRAM, image.toStdString()});
    const ChildResult result = kdb.finish(60000);
    return result.err;
}
