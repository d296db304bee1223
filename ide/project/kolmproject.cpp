#include "kolmproject.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace {

const QString kFiles = QStringLiteral("files");
const QString kPath = QStringLiteral("path");
const QString kName = QStringLiteral("name");
const QString kFlags = QStringLiteral("flags");
const QString kDefines = QStringLiteral("defines");
const QString kMisc = QStringLiteral("misc");
const QString kType = QStringLiteral("type");
const QString kSchematic = QStringLiteral("schematic");

QString joinPath(const QString& directory, const QString& name)
{
    return directory.isEmpty() ? name : directory + QDir::separator() + name;
}

// Whether a stored directory lies outside the project directory.
bool isExternal(const QString& directory)
{
    if (QDir::isAbsolutePath(directory))
        return true;
    const QString clean = QDir::cleanPath(directory);
    return clean == QLatin1String("..") || clean.startsWith(QLatin1String("../"));
}

int indexOfSchematic(const QJsonArray& misc)
{
    for (int i = 0; i < misc.size(); ++i)
        if (misc.at(i).toObject().value(kType).toString() == kSchematic)
            return i;
    return -1;
}

} // namespace

KolmProject::KolmProject(QObject* parent) : QObject(parent) {}

QString KolmProject::scriptFileSelector()
{
    return tr("Kolm Script (*.%1)").arg(QStringLiteral("kos"));
}

QString KolmProject::binaryFileSelector()
{
    return tr("Kolm Binary (*.%1)").arg(QStringLiteral("kcs"));
}

QString KolmProject::projectSelector()
{
    return tr("Kolm IDE Project (*.%1)").arg(QStringLiteral("kcpro"));
}

KolmProject::Define KolmProject::parseDefine(const QString& text)
{
    const int sign = text.indexOf(QLatin1Char('='));
    if (sign >= 1)
        return {text.left(sign).trimmed(), text.mid(sign + 1).trimmed()};
    return {text, QStringLiteral("1")};
}

QString KolmProject::stringValue(const QString& key) const
{
    return m_project.value(key).toString();
}

void KolmProject::store(const QString& key, const QJsonValue& value)
{
    m_project.insert(key, value);
    setModified(true);
}

void KolmProject::setModified(bool on)
{
    if (m_modified == on)
        return;
    m_modified = on;
    emit modified(on);
}

bool KolmProject::hasLocation(const QString& refusal)
{
    if (!m_fileName.isEmpty())
        return true;
    emit error(refusal);
    return false;
}

QString KolmProject::name() const { return stringValue(kName); }
QString KolmProject::version() const { return stringValue(QStringLiteral("version")); }
QString KolmProject::creator() const { return stringValue(QStringLiteral("creator")); }
QString KolmProject::author() const { return stringValue(QStringLiteral("author")); }
QString KolmProject::output() const { return stringValue(QStringLiteral("output")); }
QString KolmProject::bsp() const { return stringValue(QStringLiteral("bsp")); }
bool KolmProject::debug() const { return flagSet(QLatin1String("debug")); }

void KolmProject::setName(const QString& value) { setValue(kName, value); }
void KolmProject::setVersion(const QString& value) { setValue(QStringLiteral("version"), value); }
void KolmProject::setCreator(const QString& value) { setValue(QStringLiteral("creator"), value); }
void KolmProject::setAuthor(const QString& value) { setValue(QStringLiteral("author"), value); }
void KolmProject::setOutput(const QString& value) { setValue(QStringLiteral("output"), value); }
void KolmProject::setDebug(bool on) { setFlag(QLatin1String("debug"), on); }

bool KolmProject::optimize() const
{
    return m_project.value(QStringLiteral("optimize")).toVariant().toString() == QLatin1String("1");
}

void KolmProject::setOptimize(bool on)
{
    setValue(QStringLiteral("optimize"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

QJsonValue KolmProject::value(const QString& key) const
{
    return m_project.value(key);
}

void KolmProject::setValue(const QString& key, const QVariant& value)
{
    store(key, QJsonValue::fromVariant(value));
}

QString KolmProject::projectDirectory() const
{
    return QFileInfo(m_fileName).absolutePath();
}

QString KolmProject::mainFile() const
{
    if (m_fileName.isEmpty() || m_mainFile.isEmpty())
        return QString();
    return absolutePath(m_mainFile);
}

QString KolmProject::projectPath(const QJsonObject& entry)
{
    return joinPath(entry.value(kPath).toString(), entry.value(kName).toString());
}

QString KolmProject::absolutePath(const QString& path) const
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QDir::cleanPath(QDir(projectDirectory()).absoluteFilePath(path));
}

QString KolmProject::relativePath(const QString& path) const
{
    if (QDir::isAbsolutePath(path))
        return QDir(projectDirectory()).relativeFilePath(path);
    return QDir::cleanPath(path);
}

QPair<QString, QString> KolmProject::split(const QString& path) const
{
    const QString relative = relativePath(path);
    const QString name = QFileInfo(relative).fileName();
    QString directory = relative.left(relative.size() - name.size());
    if (directory.endsWith(QLatin1Char('/')) || directory.endsWith(QLatin1Char('\\')))
        directory.chop(1);
    return {directory, name};
}

bool KolmProject::holds(const QString& path) const
{
    if (path.isEmpty())
        return false;
    // The same file however it is spelt: through links where it exists.
    const auto identity = [](const QString& file) {
        const QFileInfo info(file);
        const QString canonical = info.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    };
    const QString wanted = identity(absolutePath(path));
    if (!m_fileName.isEmpty() && identity(m_fileName) == wanted)
        return true;
    for (const QString& own : fileList() + miscList())
        if (!own.isEmpty() && identity(absolutePath(own)) == wanted)
            return true;
    return false;
}

QString KolmProject::outputRefusal(const QString& output) const
{
    if (!holds(output))
        return QString();
    return tr("The output %1 is one of the project's own files; choose another output file")
        .arg(absolutePath(output));
}

bool KolmProject::add(const QString& path, bool main)
{
    if (!hasLocation(QStringLiteral("Cannot add files - project location is not specified")))
        return false;
    if (holds(path)) {
        emit error(tr("Cannot add file %1 - already exists").arg(path));
        return false;
    }
    const auto [directory, name] = split(path);
    QJsonArray files = m_project.value(kFiles).toArray();
    QJsonArray flags;
    if (main && m_mainFile.isEmpty()) {
        flags.append(QStringLiteral("main"));
        m_mainFile = joinPath(directory, name);
    }
    files.append(QJsonObject{{kName, name}, {kPath, directory}, {kFlags, flags}});
    store(kFiles, files);
    return true;
}

bool KolmProject::remove(const QString& path)
{
    if (!hasLocation(QStringLiteral("Cannot remove files - project location is not specified")))
        return false;
    const auto [directory, name] = split(path);
    // Without its main entry the project could be saved but never loaded again.
    if (!m_mainFile.isEmpty() && joinPath(directory, name) == m_mainFile) {
        emit error(tr("Cannot remove the main file %1").arg(path));
        return false;
    }
    QJsonArray files = m_project.value(kFiles).toArray();
    for (int i = 0; i < files.size(); ++i) {
        const QJsonObject entry = files.at(i).toObject();
        if (entry.value(kPath).toString() == directory && entry.value(kName).toString() == name) {
            files.removeAt(i);
            break;
        }
    }
    store(kFiles, files);
    return true;
}

int KolmProject::fileCount() const
{
    return m_project.value(kFiles).toArray().size();
}

QStringList KolmProject::fileList() const
{
    QStringList list;
    bool mainPlaced = false;
    for (const QJsonValue& file : m_project.value(kFiles).toArray()) {
        const QString path = projectPath(file.toObject());
        if (!mainPlaced && !m_mainFile.isEmpty() && path == m_mainFile) {
            list.prepend(path);
            mainPlaced = true;
        } else {
            list.append(path);
        }
    }
    const QString package = bsp();
    if (!package.isEmpty())
        list.append(relativePath(package));
    return list;
}

QStringList KolmProject::localFileList() const
{
    QStringList list;
    for (const QJsonValue& file : m_project.value(kFiles).toArray()) {
        const QJsonObject entry = file.toObject();
        if (!isExternal(entry.value(kPath).toString()))
            list.append(projectPath(entry));
    }
    return list;
}

QStringList KolmProject::miscList() const
{
    QStringList list;
    for (const QJsonValue& item : m_project.value(kMisc).toArray())
        list.append(item.toObject().value(kName).toString());
    const QString package = bsp();
    if (!package.isEmpty())
        list.append(package);
    return list;
}

QStringList KolmProject::includes() const
{
    QStringList list{projectDirectory()};
    for (const QJsonValue& file : m_project.value(kFiles).toArray()) {
        const QString directory = file.toObject().value(kPath).toString();
        if (!directory.isEmpty())
            list.append(absolutePath(directory));
    }
    return list;
}

KolmProject::DefineList KolmProject::defines() const
{
    DefineList list;
    for (const QString& text : definesList())
        list.append(parseDefine(text));
    return list;
}

QStringList KolmProject::definesList() const
{
    QStringList list;
    for (const QJsonValue& define : m_project.value(kDefines).toArray())
        list.append(define.toString());
    return list;
}

void KolmProject::setDefines(const DefineList& defines)
{
    QJsonArray array;
    for (const Define& define : defines)
        array.append(define.first + QLatin1Char('=') + define.second);
    store(kDefines, array);
}

void KolmProject::setDefines(const QStringList& defines)
{
    QJsonArray array;
    for (const QString& define : defines)
        if (!define.isEmpty())
            array.append(define);
    store(kDefines, array);
}

void KolmProject::addDefine(const QString& text)
{
    const Define define = parseDefine(text);
    DefineList list = defines();
    for (Define& existing : list) {
        if (existing.first != define.first)
            continue;
        if (existing.second != define.second) {
            existing.second = define.second;
            setDefines(list);
        }
        return;
    }
    list.append(define);
    setDefines(list);
}

void KolmProject::removeDefine(const QString& text)
{
    const int sign = text.indexOf(QLatin1Char('='));
    const QString name = sign >= 1 ? text.left(sign).trimmed() : text;
    DefineList list = defines();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).first == name) {
            list.removeAt(i);
            setDefines(list);
            return;
        }
    }
}

bool KolmProject::flagSet(const QLatin1String& flag) const
{
    return m_project.value(kFlags).toArray().contains(QString(flag));
}

void KolmProject::setFlag(const QLatin1String& flag, bool on)
{
    QJsonArray flags = m_project.value(kFlags).toArray();
    const QJsonValue value{QString(flag)};
    if (on) {
        if (flags.contains(value))
            return;
        flags.append(value);
    } else {
        const auto found = std::find(flags.begin(), flags.end(), value);
        if (found == flags.end())
            return;
        flags.erase(found);
    }
    store(kFlags, flags);
}

QString KolmProject::schematics() const
{
    const QJsonArray misc = m_project.value(kMisc).toArray();
    const int index = indexOfSchematic(misc);
    return index < 0 ? QString() : misc.at(index).toObject().value(kName).toString();
}

void KolmProject::setSchematics(const QString& name)
{
    QJsonArray misc = m_project.value(kMisc).toArray();
    const int index = indexOfSchematic(misc);
    if (index >= 0)
        misc.removeAt(index);
    misc.append(QJsonObject{{kType, kSchematic}, {kName, name}});
    store(kMisc, misc);
}
