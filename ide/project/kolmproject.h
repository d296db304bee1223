#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1String>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// The open Kolm project. It holds the whole top-level object of the ".kcpro"
// project file and edits it in memory; only save() writes it back, so keys
// the IDE does not know survive. Every relative path it hands out or accepts
// is relative to the project directory, the directory of the project file.
class KolmProject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString version READ version WRITE setVersion)
    Q_PROPERTY(QString creator READ creator WRITE setCreator)
    Q_PROPERTY(QString author READ author WRITE setAuthor)
    Q_PROPERTY(QString output READ output WRITE setOutput)
    Q_PROPERTY(QString bsp READ bsp WRITE setBSP)
    Q_PROPERTY(bool debug READ debug WRITE setDebug)
    Q_PROPERTY(bool modified READ isModified NOTIFY modified)

public:
    using Define = QPair<QString, QString>;
    using DefineList = QList<Define>;

    explicit KolmProject(QObject* parent = nullptr);

    // File dialog filters.
    static QString scriptFileSelector();
    static QString binaryFileSelector();
    static QString projectSelector();

    // "NAME = VALUE" as (NAME, VALUE); "NAME" alone as (NAME, "1").
    static Define parseDefine(const QString& text);
    // The built-in board packages as "sys://" names.
    static QStringList builtinBSP();

    // A new project for mainFile, placed beside it; owned by the caller.
    static KolmProject* create(const QString& mainFile, const QStringList& files,
                               const QString& name, const QString& author,
                               const QString& bsp);
    // A project file larger than this is refused unread.
    static constexpr qint64 maxProjectFileBytes = 16 * 1024 * 1024;
    // Refuses anything that is not a regular file (a device, a FIFO), so
    // that loading neither blocks nor reads without end.
    bool load(const QString& fileName);
    // An empty fileName writes to the project's own path; any other path
    // becomes the own path once it has been written.
    bool save(const QString& fileName = QString(), bool compact = false);

    QString fileName() const { return m_fileName; }
    bool isModified() const { return m_modified; }

    QString name() const;
    QString version() const;
    QString creator() const;
    QString author() const;
    QString output() const;
    QString bsp() const;
    bool debug() const;
    // "optimize" is on exactly when it holds "1" (the JSON value true and
    // the number 1 do not count); it is written as "1" or "0".
    bool optimize() const;
    void setOptimize(bool on);
    void setName(const QString& value);
    void setVersion(const QString& value);
    void setCreator(const QString& value);
    void setAuthor(const QString& value);
    void setOutput(const QString& value);
    void setDebug(bool on);

    QJsonValue value(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);

    // Paths.
    QString mainFile() const;
    static QString projectPath(const QJsonObject& entry);
    QString absolutePath(const QString& path) const;
    QString relativePath(const QString& path) const;
    QPair<QString, QString> split(const QString& path) const;

    // Whether the path (absolute, or relative to the project directory)
    // names the project file or one of the project's files: a source, the
    // board package or a further file. Links are followed.
    bool holds(const QString& path) const;
    // Why the build must not write its image to `output`: a text to show,
    // empty when the output names none of the project's own files.
    QString outputRefusal(const QString& output) const;

    // Source files; a file the project already holds is refused.
    bool add(const QString& path, bool main);
    bool remove(const QString& path);
    int fileCount() const;
    QStringList fileList() const;
    QStringList localFileList() const;
    QStringList miscList() const;
    QStringList includes() const;

    // Defines, flags, schematic and board package.
    DefineList defines() const;
    QStringList definesList() const;
    void setDefines(const DefineList& defines);
    void setDefines(const QStringList& defines);
    void addDefine(const QString& text);
    void removeDefine(const QString& text);
    bool flagSet(const QLatin1String& flag) const;
    void setFlag(const QLatin1String& flag, bool on);
    QString schematics() const;
    void setSchematics(const QString& name);
    void setBSP(const QString& name);

    // Files of the project, read and written at once.
    QByteArray read(const QString& path, bool* ok = nullptr);
    bool saveFile(const QString& path, const QString& text);

signals:
    void error(const QString& descr);
    void modified(bool on);

private:
    QString projectDirectory() const;
    QString stringValue(const QString& key) const;
    void store(const QString& key, const QJsonValue& value);
    void setModified(bool on);
    bool hasLocation(const QString& refusal);
    void copyIntoProject(const QString& source, const QString& fileName, bool overwrite);

    QJsonObject m_project;
    bool m_modified = false;
    QString m_fileName;
    QString m_mainFile;
};
