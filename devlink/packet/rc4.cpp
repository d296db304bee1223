#include "rc4.h"

#include <utility>

void rs4_run(void *data, unsigned len, const uchar *key)
{
    uchar s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = uchar(i);

    uchar j = 0;
    for (int i = 0; i < 256; ++i) {
        j = uchar(j + s[i] + key[i & 7]);
        std::swap(s[i], s[j]);
    }

    uchar *bytes = static_cast<uchar *>(data);
    uchar i = 0;
    j = 0;
    for (unsigned n = 0; n < len; ++n) {
        i = uchar(i + 1);
        j = uchar(j + s[i]);
        std::swap(s[i], s[j]);
        bytes[n] ^= s[uchar(s[i] + s[j])];
    }
}
