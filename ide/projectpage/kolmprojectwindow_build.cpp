// The in-process build of the open project into its output image, the
// diagnostics it hands on, the size report, and the accessors of the image.

#include "kolmprojectwindow.h"
#include "ui_kolmprojectwindow.h"

#include "console_printer.h"
#include "kolm_gen_context.h"
#include "kolmproject.h"
#include "lexer.h"
#include "page_dialogs.h"
#include "whole_file_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <exception>

namespace {

// Routes the compiler's diagnostics into a stream while it lives, so that
// every ending of a build, an exception included, routes them back.
class DiagnosticsCapture
{
public:
    explicit DiagnosticsCapture(std::ostream& out)
    {
        g_output_colorized = false;
        console_set_output(&out);
    }
    ~DiagnosticsCapture() { console_set_output(nullptr); }
    DiagnosticsCapture(const DiagnosticsCapture&) = delete;
    DiagnosticsCapture& operator=(const DiagnosticsCapture&) = delete;
};

// What the front end and the generator made of the main file.
struct Generated {
    bool ok = false;
    // The code generation pass or finalize failed: the old output goes.
    bool passFailed = false;
    QByteArray image;
    std::string message; // finalize's
    QString exception;
};

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

// Parses, checks and generates the image in memory. The generator may fold
// code it has already written, so the image is built in a string stream,
// which finalize cuts to the image's end, and written to disk only whole.
Generated generate(KolmGenContext& generator, const std::string& mainFile)
{
    Generated result;
    try {
        kolm::Compiler driver(&generator);
        driver.defines = generator.definesMap();
        if (!driver.parse_file(mainFile) || !driver.root
            || !driver.root->precompile(&generator, driver.replace_ops))
            return result;
        result.passFailed = true;
        std::stringstream image;
        generator.begin(&image, true, false);
        if (driver.root->compile(&generator, &image) && generator.finalize(mainFile, &image, result.message)) {
            const std::string bytes = image.str();
            result.image = QByteArray(bytes.data(), int(bytes.size()));
            result.ok = true;
            result.passFailed = false;
        }
    } catch (const std::exception& e) {
        result.ok = false;
        result.exception = QString::fromUtf8(e.what());
    }
    return result;
}

quint16 readU16(const QByteArray& bytes, int offset)
{
    const auto byte = [&](int at) { return at < bytes.size() ? quint16(quint8(bytes.at(at))) : quint16(0); };
    return quint16(byte(offset) | (byte(offset + 1) << 8));
}

} // namespace

void KolmProjectWindow::compile()
{
    // Only a box of the build itself can start another one; it ends at once.
    if (m_building) {
        emit compilationFinished(false);
        return;
    }
    const QPointer<KolmProjectWindow> self(this);
    m_building = true;
    const bool result = build();
    if (!self)
        return;
    m_building = false;
    emit compilationFinished(result);
}

void KolmProjectWindow::warnCompiler(const QString& text)
{
    pageWarning(this, tr("Compiler"), text);
}

bool KolmProjectWindow::build()
{
    const QPointer<KolmProjectWindow> self(this);
    if (!m_project) {
        warnCompiler(tr("No active project"));
        return false;
    }
    const QString entry = m_project->output();
    if (entry.isEmpty()) {
        warnCompiler(tr("Project output location is not set"));
        return false;
    }
    // The image must never land on a source, the package or the project file.
    const QString refusal = m_project->outputRefusal(entry);
    if (!refusal.isEmpty()) {
        emit error(refusal);
        return false;
    }
    const QString path = m_project->absolutePath(entry);
    const QString directory = QFileInfo(path).absolutePath();
    if (!QDir(directory).exists() && !QDir().mkpath(directory)) {
        warnCompiler(tr("Cannot create output directory %1").arg(directory));
        return false;
    }
    if (!codeSave_core(true) || !self || !m_project)
        return false;
    ui->codeEditor->document()->setModified(false);

    KolmGenContext generator;
    for (const QString& include : m_project->includes())
        generator.addIncludePath(utf8(include));
    // The first definition of a name wins: the language's predefined macros,
    // then the project's defines in order, then the board package's.
    std::string note;
    for (const KolmProject::Define& define : m_project->defines()) {
        if (!generator.addDefine(utf8(define.first), utf8(define.second), &note)) {
            warnCompiler(tr("Invalid project define %1=%2\n%3")
                             .arg(define.first, define.second, QString::fromUtf8(note.c_str())));
            return false;
        }
    }
    if (m_project->optimize())
        generator.optimizeLevel = 1;
    if (m_boardPackage)
        generator.setBoardPackage(m_boardPackage);

    std::stringstream diagnostics;
    const DiagnosticsCapture capture(diagnostics);
    const Generated generated = generate(generator, utf8(m_project->mainFile()));
    bool ok = generated.ok;
    if (ok) {
        QString reason;
        if (!writeWholeFile(path, generated.image, &reason)) {
            warnCompiler(tr("Cannot write to %1").arg(path));
            if (!self)
                return false;
            ok = false;
        }
    }
    closeConsoleOutput(diagnostics, ok);
    if (!generated.message.empty())
        emit error(QString::fromUtf8(generated.message.c_str()));
    if (!generated.exception.isEmpty())
        emit error(generated.exception);
    if (!ok) {
        if (generated.passFailed) {
            QFile::remove(path);
            setCompiled(false);
        }
        return false;
    }
    // The image on disk overflowed the device: it is no longer the built one.
    if (!reportSize(generator.textSize, generator.dataSize, generator.bssSize,
                    uploadablePart(generated.image).size())) {
        setCompiled(false);
        return false;
    }
    m_builtLimits = {flashLimit, ramLimit};
    setCompiled(true);
    return true;
}

void KolmProjectWindow::closeConsoleOutput(std::stringstream& diagnostics, bool success)
{
    console_set_output(nullptr);
    const QStringList lines =
        QString::fromUtf8(diagnostics.str().c_str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        if (success)
            emit information(line);
        else
            emit error(line);
    }
}

bool KolmProjectWindow::reportSize(uint32_t text, uint32_t data, uint32_t bss, int uploadable)
{
    const uint32_t total = uint32_t(uploadable);
    bool fits = true;
    if (ramLimit != 0 && bss > ramLimit) {
        emit error(tr("Section `.bss' will not fit in region `RAM' (overflowed %1 by %2 bytes)")
                       .arg(ramLimit)
                       .arg(bss - ramLimit));
        fits = false;
    }
    if (flashLimit != 0 && total > flashLimit) {
        emit error(tr("Binary file will not fit in region `FLASH' (overflowed %1 by %2 bytes)")
                       .arg(flashLimit)
                       .arg(total - flashLimit));
        fits = false;
    }
    if (!fits)
        return false;
    const QString separator = QStringLiteral(". ");
    const QString bssText = ramLimit != 0 ? tr("BSS %1 (of %2) bytes").arg(bss).arg(ramLimit)
                                          : tr("BSS %1 bytes").arg(bss);
    const QString totalText = flashLimit != 0 ? tr("Total %1 (of %2) bytes").arg(total).arg(flashLimit)
                                              : tr("Total %1 bytes").arg(total);
    emit information(tr("Compilation finished") + separator + tr("Text %1 / Data %2 / ").arg(text).arg(data)
                     + bssText + separator + totalText);
    return true;
}

QString KolmProjectWindow::output() const
{
    return m_project ? m_project->absolutePath(m_project->output()) : QString();
}

QByteArray KolmProjectWindow::outputElf() const
{
    return m_project ? m_project->read(m_project->output()) : QByteArray();
}

QByteArray KolmProjectWindow::outputBin() const
{
    return uploadablePart(outputElf());
}

QByteArray KolmProjectWindow::uploadablePart(const QByteArray& image)
{
    const int size = image.size();
    if (size <= 36)
        return image;
    const int code = readU16(image, 10);
    if (code + 14 >= size)
        return image;
    if (image.at(code + 12) == 'D' && image.at(code + 13) == 'T') {
        const int end = code + 16 + readU16(image, code + 14);
        return end > size ? image : image.left(end);
    }
    return image.left(code + 12);
}
