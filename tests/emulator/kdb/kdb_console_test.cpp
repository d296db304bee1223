// The console of halvane-kdb's local run, driven through standard input and
// signals.

#include "child_process.h"
#include "kdb_images.h"
#include "kdb_program.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>
#include <vector>

namespace {


// Generous bounds for a program under the sanitizers.
constexpr int kBoundMs = 20000;
// Bound for the end of a run after a terminate signal: a loop pass or a
// console wait notices the signal at once.
constexpr int kTerminateMs = 5000;

const char kCommandList[] =
    "> commands:\n   (s)tep / (e)xti / (m)sg / (a)ck / (q)uit / (c)ont;\n"
    "   (p)rint / s(t)ack / (r)am / (h)elp <command> for command syntax \n";

struct ConsoleRun {
    ChildResult result;
    std::string output; // what the program wrote to its output file
};

// Runs the interrupt image with verbose and the given standard input; the
// output stream goes to a file, the prompts to standard output.
ConsoleRun runConsole(const std::string &script)
{
    TempDir dir;
    const std::string image = dir.write("image.kcs", interruptImage().bytes);
    const std::string output = dir.path("out.txt");
    ConsoleRun run;
    run.result = runChild({kProgram, "--verbose", "-o", output, image}, script, kBoundMs);
    run.output = TempDir::read(output);
    return run;
}

// The console's answers among the machine states of the output: lines that
// start with "> " or name a register, stack word or RAM byte or an index.
std::string answers(const std::string &output)
{
    std::istringstream in(output);
    std::string line, kept;
    while (std::getline(in, line)) {
        const bool value = (line.rfind("reg[", 0) == 0 || line.rfind("stack[", 0) == 0 || line.rfind("ram[", 0) == 0)
                           && line.find(" = ") != std::string::npos;
        if (line.rfind("> ", 0) == 0 || line.rfind("   ", 0) == 0 || value || line.find(" index ") != std::string::npos)
            kept += line + "\n";
    }
    return kept;
}

// "reg[4] = " and the address in decimal and hexadecimal: the answer to
// "print 4" when EIP holds address.
std::string eipAnswer(uint32_t address)
{
    std::ostringstream text;
    text << "reg[4] = " << address << " (0x" << std::hex << address << ")\n";
    return text.str();
}

std::string hexPairs(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "4a";
    return text;
}

TEST(Console, AnswersEveryCommand)
{
    const InterruptImage image = interruptImage();
    const ConsoleRun run = runConsole(
        "print 0\n" "s\n" "print 0\n" "p 7\n" "print\n" "print x\n"
        "ram 0x10\n" "r 256\n" "ram -1\n" "ram\n" "stack 0\n" "t 128\n" "stack 1 2\n"
        "msg bcst 2 \"hello\"\n" "print 4\n"
        "exti PJ1 1\n" "exti PA16 1\n" "exti PB3 2\n" "exti PB3\n" "e PB3 1\n" "p 4\n" "stack 17\n" "stack 16\n"
        "m bcst 2 \"x\"\n" "ack 2\n" "ack\n" "a 1\n" "print 4\n" "ack 1\n" "exti PA0 1\n"
        "help\n" "help exti\n" "help msg\n" "help ack\n" "help print\n" "help ram\n" "help stack\n" "help foo\n"
        "bogus\n" "\n" "   \t \n"
        "  quit  \n" "print 0\n");
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.status, 0);
    EXPECT_EQ(answers(run.output),
              "reg[0] = 0 (0x0)\n"
              "reg[0] = 5 (0x5)\n"
              "register index 7 out of bounds\n"
              "> print <i>\n"
              "reg[0] = 5 (0x5)\n"
              "ram[16] = 0 (0x0)\n"
              "ram index 256 out of bounds\n"
              "ram index -1 out of bounds\n"
              "> ram <i>\n"
              "stack[0] = 0 (0x0)\n"
              "stack index 128 out of bounds\n"
              "> stack <i>\n"
              + eipAnswer(image.msg) +
              "> PIN must be P[A-I][0..15]\n"
              "> PIN must be P[A-I][0..15]\n"
              "> STATE must be 1/0\n"
              "> syntax: \"exti PIN 0/1\", where PIN=PXn\n"
              + eipAnswer(image.exti) +
              "stack[17] = 1245184 (0x130000)\n"
              "stack[16] = 1 (0x1)\n"
              "> already inside a _msg or higher IRQ - will not interrupt\n"
              "> ack 0/1; 2 is not an integer\n"
              "> ack 0/1\n"
              + eipAnswer(image.ack) +
              "> already inside an _ack - will not interrupt\n"
              "> already inside an _exti or higher IRQ - will not interrupt\n"
              + std::string(kCommandList) +
              "> syntax: \"exti PIN\", where PIN=PXn\n"
              "> syntax: 'msg addr(as hex or 'bcst') src_port(decimal) data(hex or \"ascii\", no spaces)'\n"
              "> syntax: ack 0/1\n"
              "> syntax: print i (print register <i>)\n"
              "> syntax: ram i (print ram contents at <i>)\n"
              "> syntax: stack i (print stack contents at <i>)\n"
              "> help exti / msg / ack\n"
              + kCommandList + kCommandList + kCommandList);
    EXPECT_EQ(run.result.out.rfind("> > > ", 0), 0u);
    EXPECT_NE(run.result.err.find("EOF / HLT\n"), std::string::npos);
    EXPECT_TRUE(run.result.err.size() >= 16 &&
                run.result.err.substr(run.result.err.size() - 16) == "Return value: 5\n") << run.result.err;
}

TEST(Console, StepsAndMessagesUntilTheEndOfInput)
{
    const ConsoleRun run = runConsole(
        "msg 0x12 3 414243\n" "s\n" "y\n" "ram 0\n" "ram 4\n" "ram 8\n" "ram 12\n" "ram 14\n"
        "msg bcst 2 \"hello\"\n" "step\n" "yes\n" "ram 0\n" "ram 4\n" "ram 5\n" "ram 12\n" "ram 16\n"
        "msg 65535 0 41424\n" "s\n" "n\n" "print 4\n" "s\n" "no\n" "print 1\n"
        "s\n" "Y\n" "ram 12\n" "ram 13\n" "ram 14\n");
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.status, 0);
    EXPECT_EQ(answers(run.output),
              "> VM is currently inside an ISR. Run till ISR exit?\n"
              "ram[0] = 3 (0x3)\n"
              "ram[4] = 18 (0x12)\n"
              "ram[8] = 3 (0x3)\n"
              "ram[12] = 65 (0x41)\n"
              "ram[14] = 67 (0x43)\n"
              "> VM is currently inside an ISR. Run till ISR exit?\n"
              "ram[0] = 5 (0x5)\n"
              "ram[4] = 255 (0xff)\n"
              "ram[5] = 255 (0xff)\n"
              "ram[12] = 104 (0x68)\n"
              "ram[16] = 111 (0x6f)\n"
              "> VM is currently inside an ISR. Run till ISR exit?\n"
              + eipAnswer(interruptImage().msg + 6) +
              "> VM is currently inside an ISR. Run till ISR exit?\n"
              "reg[1] = 2 (0x2)\n"
              // The odd last digit is ignored: two bytes, the rest of
              // "hello" stays.
              "> VM is currently inside an ISR. Run till ISR exit?\n"
              "ram[12] = 65 (0x41)\n"
              "ram[13] = 66 (0x42)\n"
              "ram[14] = 108 (0x6c)\n");
    // Step numbering and the single-step view.
    EXPECT_NE(run.output.find(">>>>STEP 0\n>>>>Output of STEP 0\n%EAX\t"), std::string::npos);
    EXPECT_NE(run.output.find(">>>>STEP 4\n>>>>Output of STEP 4\n%EAX\t"), std::string::npos);
    EXPECT_EQ(run.output.find(">>>>STEP 5"), std::string::npos);
    EXPECT_NE(run.output.find("<<<<<<<<<<<<<<<<<<<\n"), std::string::npos);
    // The end of input quits like "quit".
    EXPECT_NE(run.result.err.find("EOF / HLT\n"), std::string::npos);
    EXPECT_NE(run.result.err.find("HALT:\tset"), std::string::npos);
}

TEST(Console, MessageArgumentErrors)
{
    const ConsoleRun run = runConsole(
        "msg bcst 2 " + hexPairs(59) + "\n" "msg bcst 2 \"" + std::string(60, 'a') + "\"\n"
        "msg 65536 2 \"a\"\n" "msg -1 2 \"a\"\n" "msg zz 2 \"a\"\n" "msg bcst x2 \"a\"\n" "msg bcst 2\n"
        "msg bcst 2 " + hexPairs(58) + "\n" "msg 1 2 3\n" "quit\n");
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(answers(run.output),
              "> maximum message size is 58 (overflowed by 1 bytes)\n"
              "> maximum message size is 58 (overflowed by 2 bytes)\n"
              "> address=65536 is not a valid address\n"
              "> address=-1 is not a valid address\n"
              "> address=zz is not a valid address\n"
              "> src_port=x2 is not an integer\n"
              "> syntax: 'msg addr(as dec, hex (with prefix), or 'bcst') src_port(decimal) data(hex or \"ascii\","
              " no spaces)'\n"
              "> already inside a _msg or higher IRQ - will not interrupt\n");
}

TEST(Console, SleepInsideAnInterruptEndsTheRun)
{
    TempDir dir;
    const ChildResult r = runChild({kProgram, "--verbose", dir.write("sleep.kcs", sleepingInterruptImage())},
                                   "msg bcst 0 \"\"\n" "s\n" "n\n" "s\n" "print 0\n", kBoundMs);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("sleep(0) called inside ISR - this is a possible deadlock\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("SUSP:\tset"), std::string::npos);
    EXPECT_NE(r.err.find("HALT:\tset"), std::string::npos);
    // The console did not read on.
    EXPECT_EQ(r.out.find("reg[0]"), std::string::npos);
}

TEST(Console, OverlongLineIsReadInPieces)
{
    const std::string line = "msg bcst 2 " + hexPairs(2500);
    const ConsoleRun run = runConsole(line + "\nquit\n");
    ASSERT_FALSE(run.result.timedOut);
    // The first 4096 characters hold 2042 byte pairs; the rest is no command.
    EXPECT_EQ(answers(run.output), "> maximum message size is 58 (overflowed by 1984 bytes)\n" + std::string(kCommandList));
    EXPECT_EQ(run.result.status, 0);
}

// ---------------------------------------------------------------- signals

std::vector<std::string> loopingRun(const TempDir &dir, bool verbose)
{
    std::vector<std::string> args{kProgram, dir.write("loop.kcs", loopingImage())};
    if (verbose)
        args.push_back("--verbose");
    return args;
}

TEST(Signals, TerminateEndsAFreeRunWithTheFinalReport)
{
    TempDir dir;
    ChildProcess child(loopingRun(dir, false));
    ASSERT_TRUE(child.waitForSignalHandlers(kBoundMs));
    child.signal(SIGTERM);
    const ChildResult r = child.wait(kTerminateMs);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Return value: 0\n");
    EXPECT_EQ(r.out, "");
}

TEST(Signals, InterruptHandsTheRunToTheConsole)
{
    TempDir dir;
    ChildProcess child(loopingRun(dir, false));
    ASSERT_TRUE(child.waitForSignalHandlers(kBoundMs));
    child.signal(SIGINT);
    ASSERT_TRUE(child.waitForOutput("Context:\n", kBoundMs));
    ASSERT_TRUE(child.waitForOutput("CRYPT:\tclear\n> ", kBoundMs));
    child.write("print 4\n");
    ASSERT_TRUE(child.waitForOutput("reg[4] = 36 (0x24)\n> ", kBoundMs));
    // Running on; an interrupt comes back to the console. Interrupts that
    // arrive while the console still waits for input change nothing, so
    // they are repeated until the console is back.
    const size_t before = child.output().size();
    child.write("c\n");
    bool back = false;
    for (int tries = 0; !back && tries < kBoundMs / 100; ++tries) {
        child.signal(SIGINT);
        back = child.waitForOutput("Context:\n", 100, before);
    }
    ASSERT_TRUE(back);
    child.write("quit\n");
    const ChildResult r = child.finish(kBoundMs);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Return value: 0\n");
}

TEST(Signals, TerminateEndsTheWaitingConsole)
{
    TempDir dir;
    ChildProcess child(loopingRun(dir, true));
    ASSERT_TRUE(child.waitForOutput("CRYPT:\tclear\n> ", kBoundMs));
    child.signal(SIGTERM);
    const ChildResult r = child.wait(kTerminateMs);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("EOF / HLT\n"), std::string::npos);
    // Terminated, not quit: HALT stays clear.
    EXPECT_NE(r.err.find("HALT:\tclear"), std::string::npos);
    EXPECT_EQ(r.err.substr(r.err.size() - 16), "Return value: 0\n");
}

} // namespace
