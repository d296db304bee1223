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

QByteArray benchProjectScript(int lines)
{
    const int functions = (lines - 5) / 10;
    QByteArray out;
    for (int i = functions * 10 + 5; i < lines; ++i)
        out += "// padding\n";
    for (int i = 0; i < functions; ++i) {
        const QByteArray n = QByteArray::number(i);
        out += "// f" + n + ": its argument plus " + n + ".\n// main calls it once.\nvar f" + n
               + "(var a)\n{\n    // the sum\n    var b = a + " + n + ";\n    return b;\n}\n\n";
    }
    out += "var main()\n{\n    var total = 0;\n";
    for (int i = 0; i < functions; ++i)
        out += "    total += f" + QByteArray::number(i) + "(" + QByteArray::number(i) + ");\n";
    out += "    return total;\n}\n";
    return out;
}
