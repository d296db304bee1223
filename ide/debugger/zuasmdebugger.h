#ifndef KOLM_ZUASMDEBUGGER_H
#define KOLM_ZUASMDEBUGGER_H

// The debugger page: the state of the Kolm virtual machine on the connected
// controller or in the emulator (registers, flags, stack, RAM), the
// disassembly of the image and the script's source, both following the
// current instruction. It holds no connection: the main window pushes the
// replies of the device in and reads and sets the stepping mode.

#include "asmviewmodel.h"
#include "kolm_word.h"
#include "qramtablemodel.h"
#include "qregistertablemodel.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QVector>
#include <QWidget>

class KolmProject;
class QStandardItem;
class QStandardItemModel;

namespace Ui {
class ZuASMDebugger;
}

class ZuASMDebugger : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Mode mode READ mode WRITE setMode NOTIFY modeChanged)

public:
    enum Mode { Init = 0, RunToMain = 1, Step = 2, Next = 3, Run = 4 };
    Q_ENUM(Mode)

    // One debug location: instruction addresses [start, end) and the source
    // range from (line, column) up to, not including, to (1-based).
    struct DbgEntry {
        tvar start = 0;
        tvar end = 0;
        tvar idx = 0;
        struct {
            tvar line = 0;
            tvar column = 0;
        } from, to;
    };

    // Bounds of the sizes a device reports: a wrong reply must not make the
    // page build millions of rows or gigabytes of image.
    static constexpr int MaxRegisters = 1024;
    static constexpr int MaxStackDepth = 1 << 16;
    static constexpr int MaxRamSize = 1 << 24;

    explicit ZuASMDebugger(QWidget *parent = nullptr);
    ~ZuASMDebugger() override;

    Mode mode() const;
    void setMode(Mode mode);

    // The open project, not owned; its sources are shown.
    void setProject(KolmProject *project);
    void unsetProject();

    // The source view's colour scheme from "Editor/Theme".
    void readSettings();

    // The start of a debugging session.
    void clear();
    // Each size is taken up to its bound above.
    void setupRegs(int count);
    void setupStack(int depth);
    void setupRam(int size);
    // The sizes as set up: register rows and bytes of the RAM image (the
    // RAM and the stack area after it).
    int registerCount() const;
    int ramImageSize() const;
    // Whether the machine's next instruction ends the script (a halt): a
    // step would run on past the script's end.
    bool atScriptEnd() const;
    // Forgets the current instruction: neither the listing nor the source
    // marks a position (the machine runs, or is gone).
    void clearPosition();

    // Whether the listing carried source locations.
    bool hasDebugSymbols() const { return !m_debugLocs.isEmpty(); }

    // A whole disassembler listing; false (and nothing changed) when it is
    // not a JSON object.
    bool setAsm(const QByteArray &json);
    void parseDebugSymbols(const QJsonObject &data);

    // Whether the source ranges of a and b meet, ends included.
    static bool dbgEntryInside(const DbgEntry &a, const DbgEntry &b);

    // Store the flag word and the interrupt level without refreshing the
    // tree: the main window's handler of the VM information reply refreshes
    // it later through updateInfo().
    void setFlagWord(tvar flags);
    void setInterruptLevel(tvar isr);

public slots:
    void updateRegisters(const QVector<tvar> &regs);
    void setRam(int offset, const QByteArray &chunk);
    void updateFlags(tvar flags);
    void updateISR(tvar isr);
    void updateRam();
    void updateInfo();
    void setEip(tvar EIP);

signals:
    void modeChanged(ZuASMDebugger::Mode m);
    void debugsyms(bool avail);
    void syncRam();

private slots:
    void on_ramSyncButton_clicked();
    void codeViewActivated(int idx);
    void scrollToRow(int row);

private:
    // Gives the address and opcode columns of the listing the width of the
    // widest text they can show, so that no instruction is cut short.
    void sizeListingColumns();
    // Gives the arguments column the width of the listing's widest
    // arguments, once per listing: the table scrolls sideways to them
    // rather than cut them short.
    void sizeArgumentsColumn();
    // Makes a listing column wide enough for a text `text` pixels wide.
    void fitListingColumn(int column, qreal text);
    // Makes the register table at least as tall as the machine's registers
    // with its header.
    void reserveRegisterRows();
    void buildFlagsTree();
    bool setEipSource(tvar eip);
    void currentLocChanged();
    bool highlightText(const DbgEntry &entry);
    // Takes the source highlight away.
    void unmarkText();
    // The debug location that holds the address; null for none.
    const DbgEntry *locationOf(tvar eip) const;
    // The source file's text; false when it cannot be read.
    bool loadSource(const QString &name);

    Ui::ZuASMDebugger *ui;
    QStandardItemModel *m_flagsModel;
    QStandardItem *m_vmFlagsItem;
    QStandardItem *m_otherItem;
    Mode m_mode = Init;
    tvar m_flags = 0;
    tvar m_stackDepth = 0;
    tvar m_isr = 0;
    QStringList m_files;
    QList<DbgEntry> m_debugLocs;
    const DbgEntry *m_currentLoc = nullptr;
    QRegisterTableModel m_vtableModel;
    QRegisterTableModel m_registersModel;
    QRamTableModel m_ramModel;
    QRegisterTableModel m_stackModel;
    AsmViewModel m_asmModel;
    KolmProject *m_project = nullptr;
    QString m_shownFile;
    // The document range [first, second) that carries the highlight; the
    // view's text has no other character formats.
    QPair<int, int> m_marked{0, 0};
};

// Wraps body in place into a collapsible HTML panel headed by title.
void htmlMakeCollapsable(QString &body, const QString &title);

#endif
