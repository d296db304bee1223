#include "bench_project.h"

#include "kolmproject.h"
#include "kolmprojectwindow.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

bool openBenchProject(const QString& directory, const QByteArray& script, KolmProjectWindow& page)
{
    const QDir dir(directory);
    const QJsonObject project{
        {"name", "bench"},
        {"output", "bench.kcs"},
        {"files", QJsonArray{QJsonObject{{"name", "main.kos"}, {"path", ""}, {"flags", QJsonArray{"main"}}}}}};
    if (!writeFile(dir.filePath("main.kos"), script)
        || !writeFile(dir.filePath("bench.kcpro"), QJsonDocument(project).toJson()))
        return false;
    auto model = std::make_unique<KolmProject>();
    if (!model->load(dir.filePath("bench.kcpro")) || !page.setProject(model.get()))
        return false;
    model.release(); // the page owns it now
    return true;
}
