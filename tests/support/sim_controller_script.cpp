// The simulated controller's script commands: the stored image and the
// virtual machine that runs it (commands 0x20 to 0x26).

#include "sim_controller.h"

#include <QtEndian>

namespace {

// Bytes of one image read reply.
constexpr int RomChunk = 48;

QByteArray words(const QVector<quint32> &values)
{
    QByteArray bytes(4 * values.size(), 0);
    for (int i = 0; i < values.size(); ++i)
        qToLittleEndian(values.at(i), bytes.data() + 4 * i);
    return bytes;
}

} // namespace

QByteArray SimDevice::ramImage() const
{
    if (!ram.isEmpty())
        return ram;
    QByteArray image(int(vmRam + 4 * vmStack), 0);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i & 0xFF);
    return image;
}

SimController::Reply SimController::answerScript(SimDevice &device, quint8 command, quint16 &sub,
                                                 const QByteArray &data)
{
    switch (command) {
    case 0x20:
        if (sub == 0)
            return words({device.vmFlags});
        if (sub == 1)
            return words({quint32(device.rom.size())});
        return std::nullopt;
    case 0x21:
        return device.rom.mid(sub, RomChunk);
    case 0x22:
        if (device.flashResult == 0) {
            if (device.rom.size() < sub + data.size())
                device.rom.resize(sub + data.size());
            device.rom.replace(sub, data.size(), data);
        }
        return words({device.flashResult});
    case 0x23:
        ++device.vmControls[sub];
        switch (sub) {
        case 0:
        case 2:
            device.vmFlags |= SimDevice::VmHalted;
            break;
        case 1:
        case 3:
            device.vmFlags &= ~SimDevice::VmHalted;
            break;
        case 4:
            if (device.registers.size() > 4)
                ++device.registers[4];
            break;
        default:
            break;
        }
        return QByteArray();
    case 0x24:
        if (sub == 0)
            return words({device.vmFlags, device.vmStack, device.vmRam, quint32(device.registers.size())});
        if (sub == 2)
            return words({device.isr});
        return std::nullopt;
    case 0x25:
        return words(device.registers);
    case 0x26: {
        const QByteArray chunk = device.ramImage().mid(sub, device.ramChunk);
        if (device.ramEcho)
            sub = *device.ramEcho;
        return chunk;
    }
    default:
        return std::nullopt;
    }
}
