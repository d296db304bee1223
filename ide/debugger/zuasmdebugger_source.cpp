// The disassembly, the debug symbols and the source view, following the
// current instruction.

#include "zuasmdebugger.h"

#include "kolm_opcodes.h"
#include "kolmproject.h"
#include "qmaterialfont.h"
#include "ui_zuasmdebugger.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextBlock>
#include <QVariantMap>

namespace {

enum ViewPage { AsmPage = 0, SourcePage = 1 };

// An unsigned 32-bit field of the listing; 0 when missing or no number.
tvar field(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    return value.isDouble() ? tvar(qint64(value.toDouble())) : 0;
}

// The document position of a 1-based column in a block, kept inside the
// block's text; column 0 counts as 1.
int positionIn(const QTextBlock &block, tvar column)
{
    const tvar last = tvar(block.length() - 1);
    return block.position() + int(std::min(column == 0 ? 0 : column - 1, last));
}

} // namespace

bool ZuASMDebugger::setAsm(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return false;
    const QJsonObject listing = document.object();
    m_vtableModel.init(listing.value(QLatin1String("table")).toObject().toVariantMap());
    m_asmModel.fill(listing.value(QLatin1String("text")).toArray());
    sizeArgumentsColumn();
    m_currentLoc = nullptr;
    m_debugLocs.clear();
    for (const QJsonValue &extension : listing.value(QLatin1String("extensions")).toArray()) {
        if (!extension.isObject() || extension.toObject().value(QLatin1String("type")).toString() != QLatin1String("DS"))
            continue;
        parseDebugSymbols(extension.toObject().value(QLatin1String("data")).toObject());
        break;
    }
    emit debugsyms(!m_debugLocs.isEmpty());
    return true;
}

void ZuASMDebugger::parseDebugSymbols(const QJsonObject &data)
{
    m_files.clear();
    m_currentLoc = nullptr;
    m_debugLocs.clear();
    for (const QJsonValue &file : data.value(QLatin1String("files")).toArray())
        m_files.append(file.toString());
    for (const QJsonValue &element : data.value(QLatin1String("debug_loc")).toArray()) {
        const QJsonObject location = element.toObject();
        const QJsonObject from = location.value(QLatin1String("from")).toObject();
        const QJsonObject to = location.value(QLatin1String("to")).toObject();
        DbgEntry entry;
        entry.start = field(location, "start");
        entry.end = field(location, "end");
        entry.idx = field(location, "idx");
        entry.from.line = field(from, "line");
        entry.from.column = field(from, "column");
        entry.to.line = field(to, "line");
        entry.to.column = field(to, "column");
        m_debugLocs.append(entry);
    }
}

void ZuASMDebugger::setEip(tvar EIP)
{
    m_asmModel.setEip(EIP);
    const bool found = setEipSource(EIP);
    if (ui->codeSwitchCheck->isChecked()) {
        ui->stackedWidget->setCurrentIndex(found ? SourcePage : AsmPage);
        ui->codeViewCombo->setCurrentIndex(found ? SourcePage : AsmPage);
    }
    // Without source locations no location change would ever end the
    // automatic stepping: stop at once.
    if ((!m_project || m_debugLocs.isEmpty()) && (m_mode == RunToMain || m_mode == Next))
        setMode(Step);
    if (m_mode == Init)
        setMode(Step);
}

const ZuASMDebugger::DbgEntry *ZuASMDebugger::locationOf(tvar eip) const
{
    const DbgEntry *chosen = nullptr;
    for (const DbgEntry &entry : m_debugLocs) {
        if (entry.start <= eip && eip < entry.end && (!chosen || entry.end - entry.start < chosen->end - chosen->start))
            chosen = &entry;
    }
    return chosen;
}

bool ZuASMDebugger::loadSource(const QString &name)
{
    // Debug file names are relative to the main file's directory.
    const QString mainFile = m_project->mainFile();
    const QString path = mainFile.isEmpty() ? m_project->absolutePath(name)
                                            : QFileInfo(mainFile).absoluteDir().absoluteFilePath(name);
    bool ok = false;
    const QByteArray bytes = m_project->read(path, &ok);
    ui->codeEditor->setPlainText(QString::fromUtf8(bytes.constData(), int(qstrnlen(bytes.constData(), uint(bytes.size())))));
    m_marked = {0, 0};
    return ok;
}

bool ZuASMDebugger::setEipSource(tvar eip)
{
    if (!m_project || m_debugLocs.isEmpty())
        return false;
    const DbgEntry *chosen = locationOf(eip);
    // A location naming no file of the list has no source.
    if (!chosen || chosen->idx >= tvar(m_files.size()))
        return false;
    const QString &name = m_files.at(int(chosen->idx));
    if (name != m_shownFile) {
        if (!loadSource(name)) {
            // The view is empty now: it shows no file, so any address of a
            // file (the one before too) loads its file again.
            m_shownFile.clear();
            m_currentLoc = nullptr;
            currentLocChanged();
            return false;
        }
        m_shownFile = name;
    }
    if (!m_currentLoc || !dbgEntryInside(*chosen, *m_currentLoc)) {
        m_currentLoc = chosen;
        currentLocChanged();
    }
    return highlightText(*chosen);
}

bool ZuASMDebugger::dbgEntryInside(const DbgEntry &a, const DbgEntry &b)
{
    if (a.idx != b.idx)
        return false;
    if (a.from.line > b.to.line || (a.from.line == b.to.line && a.from.column > b.to.column))
        return false;
    if (a.to.line < b.from.line)
        return false;
    if (a.to.line != b.from.line)
        return true;
    return a.to.column >= b.from.column;
}

void ZuASMDebugger::currentLocChanged()
{
    if (m_mode == RunToMain || m_mode == Next)
        setMode(Step);
}

void ZuASMDebugger::unmarkText()
{
    // Only the highlight formats the text, so clearing its range clears the
    // whole document, without touching the layout of every other line of a
    // long source.
    QTextDocument *document = ui->codeEditor->document();
    const int size = document->characterCount() - 1;
    if (m_marked.first < size) {
        QTextCursor previous(document);
        previous.setPosition(m_marked.first);
        previous.setPosition(std::min(m_marked.second, size), QTextCursor::KeepAnchor);
        previous.setCharFormat(QTextCharFormat());
    }
    m_marked = {0, 0};
}

bool ZuASMDebugger::atScriptEnd() const
{
    return m_asmModel.opcodeAt(m_asmModel.eip()) == kolm_isa::OP_halt;
}

void ZuASMDebugger::clearPosition()
{
    m_asmModel.setEip(AsmViewModel::NoEip);
    unmarkText();
    m_currentLoc = nullptr;
}

bool ZuASMDebugger::highlightText(const DbgEntry &entry)
{
    unmarkText();
    QTextDocument *document = ui->codeEditor->document();

    QTextCharFormat mark;
    mark.setBackground(QBrush(QMaterialIcon::instance()->color(QMaterialIcon::Warning)));
    if (entry.from.line == 0 || entry.to.line == 0 || entry.from.line > tvar(INT_MAX) || entry.to.line > tvar(INT_MAX))
        return false;
    const QTextBlock first = document->findBlockByLineNumber(int(entry.from.line - 1));
    const QTextBlock last = document->findBlockByLineNumber(int(entry.to.line - 1));
    if (!first.isValid() || !last.isValid())
        return false;
    QTextCursor cursor(document);
    cursor.setPosition(positionIn(first, entry.from.column));
    cursor.setPosition(positionIn(last, entry.to.column), QTextCursor::KeepAnchor);
    cursor.setCharFormat(mark);
    m_marked = {cursor.selectionStart(), cursor.selectionEnd()};
    cursor.clearSelection();
    ui->codeEditor->setTextCursor(cursor);
    ui->codeEditor->ensureCursorVisible();
    return true;
}

void ZuASMDebugger::codeViewActivated(int idx)
{
    if (idx == 0)
        ui->stackedWidget->setCurrentIndex(AsmPage);
    else if (m_currentLoc)
        ui->stackedWidget->setCurrentIndex(SourcePage);
}

void ZuASMDebugger::scrollToRow(int row)
{
    ui->asmTable->scrollTo(m_asmModel.index(row, 0), QAbstractItemView::PositionAtCenter);
}
