#include "kolmdisassembler.h"

#include "compilercontroller.h"
#include "kdbprogram.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

KolmDisassembler::KolmDisassembler(QObject *parent)
    : QObject(parent)
{
}

const QByteArray &KolmDisassembler::result() const
{
    return m_result;
}

void KolmDisassembler::run(const QString &file)
{
    run_int({QStringLiteral("-d"), QStringLiteral("-j"), file}, QByteArray());
}

void KolmDisassembler::run(const QByteArray &data)
{
    run_int({QStringLiteral("-d"), QStringLiteral("-j")}, data);
}

bool KolmDisassembler::warn(const QString &text)
{
    QPointer<KolmDisassembler> self(this);
    QMessageBox::warning(QApplication::activeWindow(), tr("Disassembler"), text, QMessageBox::Ok);
    return !self.isNull();
}

void KolmDisassembler::run_int(const QStringList &args, const QByteArray &input)
{
    const QString program = kdbProgramPath();
    if (!QFileInfo::exists(program)) {
        if (warn(tr("Local debugger executable is missing")))
            emit finished(false);
        return;
    }
    if (m_runner) {
        if (warn(tr("The disassembler process is still running. Please wait")))
            emit finished(false);
        return;
    }
    m_runner = new CompilerController(this);
    m_runner->setInput(input);
    connect(m_runner, &CompilerController::finished, this, &KolmDisassembler::compileTool_finished);
    connect(m_runner, &CompilerController::output, this, &KolmDisassembler::compileTool_output);
    emit m_runner->compile(QStringList{program} + args, input);
}

void KolmDisassembler::compileTool_finished(bool result)
{
    if (result)
        m_result = m_runner->standardOutput();
    else
        m_result.clear();
    m_runner->deleteLater();
    m_runner = nullptr;
    emit finished(result);
}

void KolmDisassembler::compileTool_output(const QString &line)
{
    emit error(line);
}
