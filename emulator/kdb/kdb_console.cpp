#include "kdb_console.h"

#include "kolm_state_print.h"
#include "kolm_hal.h"
#include "kolm_p.h"
#include "kolm_p_stack.h"
#include "signalhandler.h"
#include "stl_helpers.h"
#include "zuiconv.h"

#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

const char kCommandList[] =
    "> commands:\n   (s)tep / (e)xti / (m)sg / (a)ck / (q)uit / (c)ont;\n"
    "   (p)rint / s(t)ack / (r)am / (h)elp <command> for command syntax \n";

// ISR levels above which an interrupt is refused.
constexpr uint32_t kExtiAbove = 2;
constexpr uint32_t kMsgAbove = 1;
constexpr uint32_t kAckAbove = 3;

// Prompts and reads one line. False when the run has to end: end of input
// (which quits: HALT is set) or a terminate signal. An interrupt signal
// while waiting changes nothing, the console has the run already.
bool readLine(KdbSession &s, std::string &line)
{
    std::cout << "> " << std::flush;
    for (;;) {
        switch (s.input.readLine(line)) {
        case KdbLineInput::Result::Line:
            return true;
        case KdbLineInput::Result::End:
            KOLM_VM.flags |= KOLM_FLAG_HALT;
            return false;
        case KdbLineInput::Result::Signal:
            if (SignalHandler::instance().getSignals() & KDB_SIGNAL_TERMINATE)
                return false;
            break;
        }
    }
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Words of a line: white space removed at both ends, then split at single
// spaces, empty words dropped.
Words splitWords(const std::string &line)
{
    size_t begin = 0;
    size_t end = line.size();
    while (begin < end && isSpace(line[begin]))
        ++begin;
    while (end > begin && isSpace(line[end - 1]))
        --end;
    Words words;
    while (begin < end) {
        size_t stop = line.find(' ', begin);
        if (stop == std::string::npos || stop > end)
            stop = end;
        if (stop > begin)
            words.push_back(line.substr(begin, stop - begin));
        begin = stop + 1;
    }
    return words;
}

// A pin name P[A-I]0 .. P[A-I]15 to its code: port letter times 16 plus the
// pin number. False for anything else.
bool pinCode(const std::string &name, uint32_t &code)
{
    if (name.size() < 3 || name.size() > 4 || name[0] != 'P' || name[1] < 'A' || name[1] > 'I')
        return false;
    uint32_t number = 0;
    for (size_t i = 2; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
        number = number * 10 + uint32_t(name[i] - '0');
    }
    if (name.size() == 4 && (name[2] != '1' || number > 15))
        return false;
    code = uint32_t(name[1] - 'A') * 16 + number;
    return true;
}

void help(KdbSession &s, const Words &args)
{
    if (args.empty()) {
        s.out << kCommandList;
        return;
    }
    const std::string &topic = args[0];
    if (topic == "exti")
        s.out << "> syntax: \"exti PIN\", where PIN=PXn\n";
    else if (topic == "msg")
        s.out << "> syntax: 'msg addr(as hex or 'bcst') src_port(decimal) data(hex or \"ascii\", no spaces)'\n";
    else if (topic == "ack")
        s.out << "> syntax: ack 0/1\n";
    else if (topic == "print")
        s.out << "> syntax: print i (print register <i>)\n";
    else if (topic == "ram")
        s.out << "> syntax: ram i (print ram contents at <i>)\n";
    else if (topic == "stack")
        s.out << "> syntax: stack i (print stack contents at <i>)\n";
    else
        s.out << "> help exti / msg / ack\n";
}

// The checks every interrupt command starts with: the argument count
// (else usage) and the ISR level (above `above`: busy). True when the
// command may go on.
bool mayInterrupt(KdbSession &s, const Words &args, size_t count, const char *usage, uint32_t above,
                  const char *busy)
{
    if (args.size() != count) {
        s.out << usage;
        return false;
    }
    if (KOLM_VM.ctx.ISR > above) {
        s.out << busy;
        return false;
    }
    return true;
}

void exti(KdbSession &s, const Words &args)
{
    if (!mayInterrupt(s, args, 2, "> syntax: \"exti PIN 0/1\", where PIN=PXn\n", kExtiAbove,
                      "> already inside an _exti or higher IRQ - will not interrupt\n"))
        return;
    uint32_t pin = 0;
    if (!pinCode(args[0], pin)) {
        s.out << "> PIN must be P[A-I][0..15]\n";
        return;
    }
    bool ok = false;
    const int state = stl_helpers::toInt(args[1], &ok, 10);
    if (!ok || (state != 0 && state != 1)) {
        s.out << "> STATE must be 1/0\n";
        return;
    }
    kolm_vm_irq_exti(pin << 16, uint32_t(state));
}

// Text between the first and last character of a word that starts with a
// double quote; otherwise pairs of hexadecimal digits up to the first pair
// that is not one.
std::string messageBytes(const std::string &data)
{
    if (data[0] == '"')
        return data.size() >= 2 ? data.substr(1, data.size() - 2) : std::string();
    std::string bytes;
    uint8_t byte = 0;
    for (size_t i = 0; i + 1 < data.size() && htoa(data.data() + i, 2, &byte) == 0; i += 2)
        bytes.push_back(char(byte));
    return bytes;
}

void msg(KdbSession &s, const Words &args)
{
    if (!mayInterrupt(s, args, 3,
                      "> syntax: 'msg addr(as dec, hex (with prefix), or 'bcst') src_port(decimal) "
                      "data(hex or \"ascii\", no spaces)'\n",
                      kMsgAbove, "> already inside a _msg or higher IRQ - will not interrupt\n"))
        return;
    bool ok = true;
    int address = 0xFFFF;
    if (args[0] != "bcst")
        address = stl_helpers::toInt(args[0], &ok, 0);
    if (!ok || address < 0 || address > 0xFFFF) {
        s.out << "> address=" << args[0] << " is not a valid address\n";
        return;
    }
    const int port = stl_helpers::toInt(args[1], &ok, 0);
    if (!ok) {
        s.out << "> src_port=" << args[1] << " is not an integer\n";
        return;
    }
    const std::string bytes = messageBytes(args[2]);
    if (bytes.size() > KOLM_HAL_MESSAGE_MAX) {
        s.out << "> maximum message size is " << KOLM_HAL_MESSAGE_MAX << " (overflowed by "
              << bytes.size() - KOLM_HAL_MESSAGE_MAX << " bytes)\n";
        return;
    }
    kolm_hal_fill_message(uint16_t(address), uint8_t(port), bytes.data(), uint32_t(bytes.size()));
    kolm_vm_irq_msg();
}

void ack(KdbSession &s, const Words &args)
{
    if (!mayInterrupt(s, args, 1, "> ack 0/1\n", kAckAbove, "> already inside an _ack - will not interrupt\n"))
        return;
    bool ok = false;
    const int value = stl_helpers::toInt(args[0], &ok, 10);
    if (!ok || (value != 0 && value != 1)) {
        s.out << "> ack 0/1; " << args[0] << " is not an integer\n";
        return;
    }
    kolm_vm_irq_ack(uint32_t(value));
}

// One of the views print, stack and ram.
struct View {
    const char *usage; // answer to a wrong argument count
    const char *what;  // "register", "stack", "ram"
    const char *name;  // "reg", "stack", "ram"
    int count;         // valid indices 0 .. count - 1
    std::function<uint32_t(uint32_t)> value;
};

void show(KdbSession &s, const View &view, const Words &args)
{
    if (args.size() != 1) {
        s.out << view.usage;
        return;
    }
    const int index = stl_helpers::toInt(args[0], nullptr, 0);
    if (index < 0 || index >= view.count) {
        s.out << view.what << " index " << index << " out of bounds\n";
        return;
    }
    const uint32_t value = view.value(uint32_t(index));
    s.out << view.name << "[" << index << "] = " << value << " (0x" << std::hex << value << std::dec << ")\n";
}

const View kRegisters{"> print <i>\n", "register", "reg", 7, [](uint32_t i) { return kolm_vm_word(KOLM_W_EAX + i); }};
const View kStack{"> stack <i>\n", "stack", "stack", int(KOLM_PRINT_STACK_SLOTS),
                  [](uint32_t i) { return kolm_vm_stack(i); }};
const View kRam{"> ram <i>\n", "ram", "ram", int(KOLM_PRINT_RAM_BYTES),
                [](uint32_t i) { return uint32_t(KOLM_VM.ctx.RAM[i]); }};

bool isYes(const std::string &answer)
{
    const std::string word = stl_helpers::trim(answer);
    return word == "y" || word == "Y" || word == "yes" || word == "YES";
}

// Runs the script until it leaves its interrupt routines. False when a
// terminate signal ends the run; an interrupt signal stops the running.
bool runTillIsrExit(KdbSession &s)
{
    while (KOLM_VM.ctx.ISR != 0 && !kdb_stopped()) {
        const uint32_t signals = SignalHandler::instance().getSignals();
        if (signals & KDB_SIGNAL_TERMINATE)
            return false;
        if (signals)
            return true;
        s.out << KOLM_VM;
        kolm_hal_check_timer();
        kolm_vm_next();
    }
    return true;
}

} // namespace

bool kdb_stopped()
{
    return (KOLM_VM.flags & KOLM_FLAG_STOPPED) != 0;
}

KdbConsoleAction kdb_console(KdbSession &s)
{
    if (KOLM_VM.ctx.ISR != 0 && (KOLM_VM.flags & KOLM_FLAG_SUSP)) {
        std::cerr << "sleep(0) called inside ISR - this is a possible deadlock" << std::endl;
        KOLM_VM.flags |= KOLM_FLAG_HALT;
        return KdbConsoleAction::End;
    }
    std::string line;
    if (KOLM_VM.ctx.ISR != 0) {
        s.out << "> VM is currently inside an ISR. Run till ISR exit?\n";
        if (!readLine(s, line))
            return KdbConsoleAction::End;
        if (isYes(line) && !runTillIsrExit(s))
            return KdbConsoleAction::End;
    }
    s.out << KOLM_VM;

    for (;;) {
        if (!readLine(s, line))
            return KdbConsoleAction::End;
        const Words words = splitWords(line);
        const std::string command = words.empty() ? std::string() : words[0];
        const Words args = words.empty() ? Words() : Words(words.begin() + 1, words.end());
        if (command == "s" || command == "step")
            return KdbConsoleAction::Step;
        if (command == "c" || command == "cont")
            return KdbConsoleAction::Continue;
        if (command == "q" || command == "quit") {
            KOLM_VM.flags |= KOLM_FLAG_HALT;
            return KdbConsoleAction::End;
        }
        if (command == "e" || command == "exti")
            exti(s, args);
        else if (command == "m" || command == "msg")
            msg(s, args);
        else if (command == "a" || command == "ack")
            ack(s, args);
        else if (command == "p" || command == "print")
            show(s, kRegisters, args);
        else if (command == "t" || command == "stack")
            show(s, kStack, args);
        else if (command == "r" || command == "ram")
            show(s, kRam, args);
        else if (command == "help")
            help(s, args);
        else
            s.out << kCommandList;
    }
}

void kdb_step(KdbSession &s)
{
    const uint32_t number = s.step++;
    if (s.verbose)
        s.out << ">>>>STEP " << number << "\n";
    asm_debugger_step();
    if (!s.verbose)
        return;
    s.out << ">>>>Output of STEP " << number << "\n" << KOLM_VM.ctx;
    printKolmFlags(KOLM_VM.flags, s.out);
    s.out << "<<<<<<<<<<<<<<<<<<<\n";
    qSleep(100);
}

void kdb_continue(KdbSession &s)
{
    if (s.verbose)
        kdb_step(s);
    else
        s.step += asm_debugger_run(KOLM_BATCH_SIZE);
}
