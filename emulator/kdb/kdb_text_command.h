#ifndef KDB_TEXT_COMMAND_H
#define KDB_TEXT_COMMAND_H

// Line splitting of the text command server. A line is a command letter and
// its argument text up to LF; in the argument CR CR stands for CR, CR and
// any other byte for LF and that byte, and a CR at the line's end is
// dropped. The argument holds at most 1023 bytes; the rest is discarded.

#include <cstdint>

struct KdbTextCommand {
    static constexpr int kArgumentMax = 1023;
    int letter = 0;
    bool pending = false;
    int length = 0;
    // The argument, then LF and a NUL (not counted in length).
    char argument[kArgumentMax + 2] = {};
};

// The one pending command of the server.
extern KdbTextCommand gdb_text_cmd;

// Takes at most one line into gdb_text_cmd; returns the bytes used: leading
// LF bytes alone, 0 while no whole line is there, else the line with the LF
// bytes after it. Takes nothing while a command is pending.
int gdb_text_cmd_process(const uint8_t *data, int length);

#endif
