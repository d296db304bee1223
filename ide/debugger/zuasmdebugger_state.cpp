// The views of the running machine: registers, stack, RAM image and the
// tree of VM flags.

#include "zuasmdebugger.h"
#include "kolm_opcodes.h"

#include "qmaterialfont.h"
#include "ui_zuasmdebugger.h"

#include <QDateTime>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QtEndian>

#include <algorithm>

namespace {

// The rows of the flags tree under its two top-level items.
enum VmFlagRow { ErrorRow, SegvRow, HaltRow, AckRow, CryptRow };
enum OtherRow { InterruptRow, StackDepthRow };

struct FlagBit {
    int row;
    tvar mask;
};
const FlagBit kFlagBits[] = {{SegvRow, 0x100}, {HaltRow, 0x800}, {AckRow, 0x1000}, {CryptRow, 0x2000}};

const char *errorText(tvar code)
{
    static const char *const texts[] = {
        "no error",
        "invalid size",
        "invalid BOM",
        "invalid bytecode header",
        "unsupported language revision",
        "invalid vtable",
        "corrupted vtable data",
        "stack overflow",
        "stack corruption",
        "end of file",
        "segmentation fault",
    };
    return code < sizeof texts / sizeof *texts ? texts[code] : "unknown code";
}

QString registerName(int index)
{
    static const char *const names[] = {"%EAX", "%EBX", "%ECX", "%EDX", "%EIP", "%EBP", "%ESP"};
    if (index < 7)
        return QLatin1String(names[index]);
    return QStringLiteral("REG%1").arg(index + 1);
}

void appendRow(QStandardItem *parent, const QString &name)
{
    parent->appendRow({new QStandardItem(name), new QStandardItem(QString())});
}

} // namespace

void ZuASMDebugger::buildFlagsTree()
{
    m_flagsModel->setHorizontalHeaderLabels({tr("Name"), tr("Value")});
    m_vmFlagsItem = new QStandardItem(tr("Virtual Machine Flags"));
    m_otherItem = new QStandardItem(tr("Other"));
    m_flagsModel->appendRow(m_vmFlagsItem);
    m_flagsModel->appendRow(m_otherItem);
    for (const QString &name : {tr("Error"), tr("Segv"), tr("Halt"), tr("Ack"), tr("Crypt")})
        appendRow(m_vmFlagsItem, name);
    for (const QString &name : {tr("Interrupt Level"), tr("Stack Depth")})
        appendRow(m_otherItem, name);
}

void ZuASMDebugger::setupRegs(int count)
{
    QStringList names;
    for (int i = 0; i < std::min(count, MaxRegisters); ++i)
        names << registerName(i);
    m_registersModel.init(names, {});
    reserveRegisterRows();
}

void ZuASMDebugger::reserveRegisterRows()
{
    // The page shrinks the other views first: the machine's registers stay
    // in view, each of them.
    QTableView *view = ui->registersView;
    const int rows = std::min(m_registersModel.rowCount(), int(kolm_isa::kRegisterCount));
    view->setMinimumHeight(view->horizontalHeader()->sizeHint().height()
                           + rows * view->verticalHeader()->defaultSectionSize() + 2 * view->frameWidth());
}

void ZuASMDebugger::setupStack(int depth)
{
    depth = std::clamp(depth, 0, MaxStackDepth);
    m_stackDepth = tvar(depth);
    QStringList names;
    for (int i = 0; i < depth; ++i)
        names << QStringLiteral("V%1").arg(i);
    m_stackModel.init(names, {});
}

void ZuASMDebugger::setupRam(int size)
{
    m_ramModel.init(std::clamp(size, 0, MaxRamSize) + 4 * m_stackModel.rowCount());
}

int ZuASMDebugger::registerCount() const
{
    return m_registersModel.rowCount();
}

int ZuASMDebugger::ramImageSize() const
{
    return m_ramModel.image().size();
}

void ZuASMDebugger::setRam(int offset, const QByteArray &chunk)
{
    // Only the part inside the image is stored.
    m_ramModel.set(offset, chunk);
}

void ZuASMDebugger::updateRegisters(const QVector<tvar> &regs)
{
    if (regs.size() != m_registersModel.rowCount())
        return;
    m_registersModel.sync(regs);
    if (regs.size() > 4)
        setEip(regs.at(4));
}

void ZuASMDebugger::setFlagWord(tvar flags)
{
    m_flags = flags;
}

void ZuASMDebugger::setInterruptLevel(tvar isr)
{
    m_isr = isr;
}

void ZuASMDebugger::updateFlags(tvar flags)
{
    m_flags = flags;
    updateInfo();
}

void ZuASMDebugger::updateISR(tvar isr)
{
    m_isr = isr;
    updateInfo();
}

void ZuASMDebugger::updateInfo()
{
    m_vmFlagsItem->child(ErrorRow, 1)->setText(QLatin1String(errorText(m_flags & 0xFF)));
    for (const FlagBit &bit : kFlagBits) {
        QStandardItem *value = m_vmFlagsItem->child(bit.row, 1);
        const bool on = (m_flags & bit.mask) != 0;
        value->setText(on ? tr("on") : tr("off"));
        value->setIcon(QMaterialIcon::icon(on ? QStringLiteral("check_box") : QStringLiteral("check_box_outline_blank")));
    }
    m_otherItem->child(InterruptRow, 1)->setText(QString::number(m_isr));
    m_otherItem->child(StackDepthRow, 1)->setText(QString::number(m_stackDepth));
}

void ZuASMDebugger::updateRam()
{
    const QByteArray &image = m_ramModel.image();
    const qint64 rows = std::min<qint64>(m_stackDepth, m_stackModel.rowCount());
    for (int i = 0; i < rows; ++i) {
        // A stack area larger than the image (no setupRam after setupStack)
        // has rows outside it: they are left alone.
        const qint64 offset = qint64(image.size()) - 4 * (qint64(i) + 1);
        if (offset < 0)
            break;
        m_stackModel.update(i, qFromLittleEndian<quint32>(image.constData() + offset));
    }
}

void ZuASMDebugger::clear()
{
    m_flags = 0;
    m_stackDepth = 0;
    m_isr = 0;
    m_vtableModel.init(QStringList(), {});
    m_registersModel.init(QStringList(), {});
    m_ramModel.init(0);
    clearPosition();
}

void htmlMakeCollapsable(QString &body, const QString &title)
{
    const QString id = QString::number(qHash(body, uint(QDateTime::currentSecsSinceEpoch())));
    body.prepend(QStringLiteral("<div class=\"panel-group\"><div class=\"panel-heading\"><h4 class=\"panel-title\">"
                                "<a data-toggle=\"collapse\" href=\"#%1\">%2</a></h4></div>"
                                "<div id=\"%1\" class=\"panel-collapse collapse\">")
                     .arg(id, title));
    body.append(QStringLiteral("</div></div>"));
}
