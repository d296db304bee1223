#ifndef KOLM_TEST_KDB_IMAGES_H
#define KOLM_TEST_KDB_IMAGES_H

// Small images for the tests of the halvane-kdb program.

#include "image_builder.h"
#include "kolm_p.h"

#include <string>

using namespace kolm_isa;

// main: EAX := value; halt.
inline std::string returningImage(uint32_t value)
{
    return ImageBuilder().ins(OP_sto, {REG_EAX, value}).ins(OP_halt).build();
}

// main divides by zero.
inline std::string crashingImage()
{
    return ImageBuilder()
        .ins(OP_sto, {REG_EAX, 7})
        .ins(OP_sto, {REG_EBX, 0})
        .ins(OP_div, {REG_EAX, REG_EBX})
        .ins(OP_halt)
        .build();
}

// main jumps to itself for ever.
inline std::string loopingImage()
{
    ImageBuilder image;
    const uint32_t loop = image.here();
    return image.ins(OP_jmp, {loop, loop}).build();
}


// Script addresses of the mailbox registers.
inline constexpr uint32_t kMailboxSource = 0x41300000;
inline constexpr uint32_t kMailboxPort = 0x41300004;
inline constexpr uint32_t kMailboxData = 0x41300008;
inline constexpr uint32_t kMailboxSize = 0x41300010;

// Bytes of a message that the interrupt image keeps.
inline constexpr uint32_t kKeptMessageBytes = 8;

// An image with all three interrupt routines. main: EAX := 5, then loops.
// _msg copies the message's size, source address and port to RAM words 0,
// 4 and 8 and a message of up to 8 bytes to RAM bytes 12 to 19; _exti and
// _ack return at once.
struct InterruptImage {
    std::string bytes;
    uint32_t loop, msg, exti, ack;
};

inline InterruptImage interruptImage()
{
    ImageBuilder image;
    InterruptImage result;
    image.ins(OP_sto, {REG_EAX, 5});
    result.loop = image.here();
    image.ins(OP_jmp, {result.loop, result.loop});
    result.msg = image.here();
    uint32_t ram = KOLM_ADDR_RAM;
    for (uint32_t mailbox : {kMailboxSize, kMailboxSource, kMailboxPort}) {
        image.ins(OP_rrui, {REG_EBX, mailbox}).ins(OP_rwup, {REG_EBX, ram});
        ram += 4;
    }
    // memcpy(RAM + 12, message data, 8): arguments pushed last to first.
    image.ins(OP_spvi, {kKeptMessageBytes}).ins(OP_spvi, {kMailboxData}).ins(OP_spvi, {ram}).ins(OP_mcp);
    image.ins(OP_ret);
    result.exti = image.here();
    image.ins(OP_ret);
    result.ack = image.here();
    image.ins(OP_ret);
    result.bytes = image.msg(result.msg).exti(result.exti).ack(result.ack).bss(12 + kKeptMessageBytes).build();
    return result;
}

// main loops; _msg delays for a second, which suspends the script inside
// its interrupt routine.
inline std::string sleepingInterruptImage()
{
    ImageBuilder image;
    const uint32_t loop = image.here();
    image.ins(OP_jmp, {loop, loop});
    const uint32_t msg = image.here();
    image.ins(OP_spvi, {1000}).ins(OP_dly).ins(OP_ret);
    return image.msg(msg).build();
}

#endif
