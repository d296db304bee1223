#ifndef KOLM_WORD_H
#define KOLM_WORD_H

// The virtual machine's word: register values, the flag word, the interrupt
// level and instruction addresses are all unsigned 32-bit values.

#include <cstdint>

typedef uint32_t tvar;

#endif
