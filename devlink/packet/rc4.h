#pragma once

#include <QtGlobal>

// RC4 over `len` bytes in place with an 8-byte key. The key schedule is built
// afresh on every call and no keystream bytes are discarded, so the same key
// always starts the same keystream; applying it twice gives the data back.
void rs4_run(void *data, unsigned len, const uchar *key);
