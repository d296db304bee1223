#include "kdb_text_command.h"

#include <cstring>

KdbTextCommand gdb_text_cmd;

namespace {

constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;

void store(KdbTextCommand &c, char byte)
{
    if (c.length < KdbTextCommand::kArgumentMax)
        c.argument[c.length++] = byte;
}

} // namespace

int gdb_text_cmd_process(const uint8_t *data, int length)
{
    if (length <= 0 || gdb_text_cmd.pending)
        return 0;
    int start = 0;
    while (start < length && data[start] == kLf)
        ++start;
    if (start > 0)
        return start;
    const void *lf = std::memchr(data, kLf, size_t(length));
    if (!lf)
        return 0;
    const int end = int(static_cast<const uint8_t *>(lf) - data);
    KdbTextCommand &c = gdb_text_cmd;
    c.letter = data[0];
    c.length = 0;
    for (int i = 1; i < end; ++i) {
        if (data[i] != kCr) {
            store(c, char(data[i]));
            continue;
        }
        if (i + 1 == end)
            break;
        ++i;
        if (data[i] != kCr)
            store(c, char(kLf));
        store(c, char(data[i]));
    }
    c.argument[c.length] = char(kLf);
    c.argument[c.length + 1] = 0;
    c.pending = true;
    int used = end;
    while (used < length && data[used] == kLf)
        ++used;
    return used;
}
