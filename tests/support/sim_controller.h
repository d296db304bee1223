#ifndef KOLM_TEST_SIM_CONTROLLER_H
#define KOLM_TEST_SIM_CONTROLLER_H

// A simulated controller behind a FakeMessenger: it answers the device
// commands the window sends as a Halvane controller does, so that tests can
// run whole request chains (connect, configuration read, upload, reset,
// clock) against a real window, and break them on purpose with knobs.
//
//     auto *fake = new FakeMessenger(QStringLiteral("usb"), &window);
//     SimController sim(fake);                  // becomes fake's responder
//     sim.attached() = SimDevice::radioController(0x0042);
//     sim.attached().replyOverride[{1, 1}] = QByteArray(3, 0);  // a bad size reply
//     ... window.attachTransport(fake, 0xFFFF, 0xFFFF); the window sends 1/0 ...
//
// The device on the transport is `attached()`. Devices added with
// `addRemote` are reached through the attached device's radio: a request
// addressed to one of them is answered by it, and a broadcast 1/4 (the ping
// of the remote device search) is answered by each of them. Every other
// broadcast request is answered by the attached device.
//
// Replies come from the event loop (FakeMessenger::injectLater), one per
// request, from port 1 of the answering device to port 2 of the requester.
// Commands 1 to 7 are answered here; the script commands 0x20 and up go to
// answerScript.

#include "fake_messenger.h"

#include <QByteArray>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// One simulated controller: what it reports, what it stores, and the faults
// it shows. Every field is a knob; tests set them before or between
// requests.
struct SimDevice
{
    using Key = QPair<quint8, quint16>; // command, sub-command

    quint16 address = 0x0042;

    // Device information (command 1).
    quint32 capabilities = 0;
    QByteArray uuid;
    QByteArray firmware = "SIM-PLC 1.0";
    qint8 battery = 87;
    // The configuration size reported by 1/1; unset reports config.size().
    std::optional<quint32> configSize;
    // The configuration maximum size reported by 1/2.
    quint32 configMax = 4096;

    // The I/O hint text (command 2), sent from the asked offset on in
    // chunks of ioHintChunk bytes; an empty reply ends it.
    QByteArray ioHint;
    int ioHintChunk = 20;
    // Faults: every reply echoes this offset instead of the one asked; the
    // text never ends (each reply carries ioHintChunk bytes of 'x').
    std::optional<quint16> ioHintEcho;
    bool ioHintEndless = false;

    // The stored configuration block: read by command 3, written by
    // command 4, erased by 6/3 (to 0xFF), reset by 6/0 to factoryConfig.
    QByteArray config;
    QByteArray factoryConfig;
    // Bytes per read reply (0 sends empty replies).
    int readChunk = 48;
    // Faults: read replies echo this offset instead of the one asked; the
    // last read reply carries this many bytes beyond the block.
    std::optional<quint16> readEcho;
    int readExtra = 0;

    // The clock (command 7), seconds since 1970 UTC: 7/1 sets it from its
    // 4 data bytes, both 7/0 and 7/1 answer with it.
    quint32 clock = 0;

    // The script and its virtual machine (commands 0x20 to 0x26). The
    // stored image: 0x20/1 reports its size, 0x21 reads it, 0x22 writes it
    // at the offset asked (growing it), 6/0 and 6/3 erase it.
    QByteArray rom;
    // The machine's flags word (0x20/0 and the first word of 0x24/0): halt
    // (0x23/0, 2) sets VmHalted, launch and continue (0x23/1, 3) clear it.
    static constexpr quint32 VmHalted = 0x0800;
    quint32 vmFlags = VmHalted;
    // Stack words, RAM bytes and the interrupt word of 0x24/0 and 0x24/2.
    quint32 vmStack = 16;
    quint32 vmRam = 256;
    quint32 isr = 0;
    // The register words of 0x25 (their count is the last word of 0x24/0);
    // a step (0x23/4) advances word 4, the instruction pointer.
    QVector<quint32> registers = QVector<quint32>(7, 0);
    // The machine's RAM that 0x26 reads from the offset asked, ramChunk
    // bytes a reply; empty stands for vmRam + 4 * vmStack bytes counting
    // up from 0 (see ramImage).
    QByteArray ram;
    int ramChunk = 48;
    // Fault: RAM replies echo this offset instead of the one asked.
    std::optional<quint16> ramEcho;
    // The result byte of every image write reply: 0 written, else a flash
    // error code (nothing is stored then).
    quint8 flashResult = 0;
    // Requests of 0x23 by sub-command.
    QMap<quint16, int> vmControls;

    QByteArray ramImage() const;

    // Replaces the data of the reply to (command, sub-command); for the
    // chunked commands 2 and 3 the key's sub-command is the offset asked.
    QMap<Key, QByteArray> replyOverride;
    // Requests (command, sub-command) that get no reply at all.
    QSet<Key> silent;

    // What the device did: configuration writes (offset, bytes) and control
    // requests of command 6 by sub-command.
    QList<QPair<quint16, QByteArray>> configWrites;
    QMap<quint16, int> controls;

    // A radio controller without scripts: radio, GPIO, configurable, USB
    // mode switching; its 16-byte version-1 block in the factory state.
    static SimDevice radioController(quint16 address);
    // A controller that runs scripts: GPIO, configurable, HAL, scripts,
    // upgradable; its 8-byte version-2 block in the factory state.
    static SimDevice scriptController(quint16 address);
    // The factory blocks of both versions, as the device stores them.
    static QByteArray factoryV1();
    static QByteArray factoryV2();
};

class SimController
{
public:
    // The reply data for one request; no value means no reply.
    using Reply = std::optional<QByteArray>;
    // Called for every request before it is answered; it may change knobs,
    // or close the transport (the request is then not answered).
    using RequestHook = std::function<void(const ZuHalPacket &request)>;

    // Becomes `fake`'s responder, with a default attached device at 0x0042
    // (a radio controller).
    explicit SimController(FakeMessenger *fake);
    ~SimController();

    SimController(const SimController &) = delete;
    SimController &operator=(const SimController &) = delete;

    FakeMessenger *messenger() const { return m_fake; }
    SimDevice &attached() { return *m_devices.front(); }
    // A device reached over the attached device's radio.
    SimDevice &addRemote(const SimDevice &device);
    // The device at `address`, attached or remote; null when none.
    SimDevice *device(quint16 address);

    void setRequestHook(RequestHook hook) { m_hook = std::move(hook); }

    // A reply of `device` as the simulator sends it: for injecting an
    // unrequested or late reply.
    static ZuHalPacket replyFrom(const SimDevice &device, quint8 command, quint16 sub,
                                 const QByteArray &data = QByteArray(), quint16 destination = 0xFFFF);

    // The answers to one request, as the responder gives them.
    QList<ZuHalPacket> respond(const ZuHalPacket &request);

protected:
    // The answer of `device` to one device command: the sub-command it
    // echoes (the asked one, unless a fault changes it) and the data.
    Reply answer(SimDevice &device, quint8 command, quint16 &sub, const QByteArray &data);
    // Commands 1 to 7.
    Reply answerInfo(SimDevice &device, quint16 sub);
    Reply answerIohint(SimDevice &device, quint16 &offset);
    Reply answerCfgRead(SimDevice &device, quint16 &offset);
    Reply answerCfgWrite(SimDevice &device, quint16 offset, const QByteArray &data);
    Reply answerCfgCtrl(SimDevice &device, quint16 sub);
    Reply answerTime(SimDevice &device, quint16 sub, const QByteArray &data);
    // The script commands 0x20 to 0x26.
    Reply answerScript(SimDevice &device, quint8 command, quint16 &sub, const QByteArray &data);

private:
    QPointer<FakeMessenger> m_fake;
    std::vector<std::unique_ptr<SimDevice>> m_devices;
    RequestHook m_hook;
};

#endif
