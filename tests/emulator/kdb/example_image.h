#ifndef KOLM_TEST_EXAMPLE_IMAGE_H
#define KOLM_TEST_EXAMPLE_IMAGE_H

// The bundled example image resources/examples/sum.kcs: adds the numbers
// 1 to 10 in a loop and returns the sum, 55.

#include "image_builder.h"

#include <stdexcept>
#include <string>

inline std::string sumExampleImage()
{
    using namespace kolm_isa;
    ImageBuilder image;
    image.ins(OP_sto, {REG_EBX, 0}).ins(OP_sto, {REG_ECX, 10});
    const uint32_t loop = image.here();
    // add, subv, cpy and jmp: 3 + 6 + 3 + 9 bytes.
    const uint32_t done = loop + 21;
    image.ins(OP_add, {REG_EBX, REG_ECX})  // EBX += ECX
        .ins(OP_subv, {REG_ECX, 1})        // ECX -= 1
        .ins(OP_cpy, {REG_EAX, REG_ECX})   // jmp tests EAX
        .ins(OP_jmp, {loop, done});        // EAX != 0: loop, else done
    if (image.here() != done)
        throw std::logic_error("loop length changed");
    image.ins(OP_cpy, {REG_EAX, REG_EBX}).ins(OP_halt);
    return image.build();
}

#endif
