// Compile time and peak memory of the compiler on generated scripts of
// growing size, up to the largest image the format holds, at optimisation
// levels 0 and 1, and on pathological sources. Each compilation runs in a
// child process so that its peak resident memory (ru_maxrss) is its own.
//
// usage: compiler_bench
// Prints one table row per script: functions, source size, level, image
// size, compile time (the best of three runs), peak memory, and the growth
// ratio: the time's growth over the source's growth since the row before
// (1.0 means linear; below 1 the fixed start-up cost still dominates).

#include "console_printer.h"
#include "kolm_gen_context.h"
#include "lexer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A script of `functions` small functions and a main that calls them all.
std::string script(int functions)
{
    std::ostringstream out;
    for (int i = 0; i < functions; ++i)
        out << "var f" << i << "(var a)\n{\n    var b = a * 3 + " << i << ";\n"
            << "    if (b > 100) b = b - 7; else b = b + 1;\n"
            << "    while (b > 50) b = b / 2;\n    return b;\n}\n\n";
    out << "var main()\n{\n    var total = 0;\n";
    for (int i = 0; i < functions; ++i)
        out << "    total += f" << i << "(" << i << ");\n";
    out << "    return total;\n}\n";
    return out.str();
}

using Includes = std::map<std::string, std::string>;

struct Result {
    bool ok = false;
    size_t image = 0;
    double ms = 0;
    double cpuMs = 0; // the child's processor time: steady on a busy machine
    long peakKb = 0;
    size_t logBytes = 0;
};

// Compiles the source to an image in memory, its includes taken from
// `includes`; the image size, 0 on failure. The diagnostics' size goes to
// *logBytes.
size_t compile(const std::string &source, int level, const Includes *includes = nullptr,
               size_t *logBytes = nullptr)
{
    std::ostringstream log;
    console_set_output(&log);
    KolmGenContext context;
    context.optimizeLevel = level;
    context.setIncludeFiles(includes);
    kolm::Compiler driver(&context);
    driver.defines = context.definesMap();
    std::stringstream image;
    std::string message;
    const bool ok = driver.parse_string(source, "bench.kos") && driver.root &&
                    driver.root->precompile(&context, driver.replace_ops) && context.begin(&image, false, false) &&
                    driver.root->compile(&context, &image) && context.finalize("bench.kos", &image, message);
    if (logBytes)
        *logBytes = size_t(log.tellp());
    return ok ? image.str().size() : 0;
}

// Compiles in a child: its time through a pipe, its peak memory from wait4.
Result measure(const std::string &source, int level, const Includes *includes = nullptr)
{
    Result result;
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const auto start = std::chrono::steady_clock::now();
        size_t logBytes = 0;
        const size_t image = compile(source, level, includes, &logBytes);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const double report[3] = {double(image), ms, double(logBytes)};
        const bool written = write(fds[1], report, sizeof report) == ssize_t(sizeof report);
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    double report[3] = {0, 0, 0};
    const bool got = read(fds[0], report, sizeof report) == ssize_t(sizeof report);
    close(fds[0]);
    int status = 0;
    struct rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return result;
    result.ok = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.image = size_t(report[0]);
    result.ms = report[1];
    result.logBytes = size_t(report[2]);
    result.peakKb = usage.ru_maxrss;
    result.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return result;
}

// The most functions whose image still fits, by bisection.
int largestFitting()
{
    int low = 1, high = 2;
    while (compile(script(high), 0) > 0)
        low = high, high *= 2;
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (compile(script(middle), 0) > 0 ? low : high) = middle;
    }
    return low;
}

std::string repeat(const std::string &text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

// A chain of `levels` files, each including the next twice, without
// guards; the first is the source, the others go into `includes`.
std::string fanOut(int levels, Includes &includes)
{
    const auto twice = [](int i) {
        const std::string next = "f" + std::to_string(i) + ".kos";
        return "#include \"" + next + "\"\n#include \"" + next + "\"\n";
    };
    for (int i = 1; i < levels; ++i)
        includes["f" + std::to_string(i) + ".kos"] = i + 1 < levels ? twice(i + 1) : "#define LEAF 1\n";
    return twice(1) + "var main()\n{\n    return 0;\n}\n";
}

void printPathological()
{
    // Sums of a variable and constants: the 4,000-term one shows whether
    // the cost of one long expression grows linearly.
    const auto sum = [](int terms, const char *last) {
        std::string expression = "x";
        for (int i = 1; i < terms; ++i)
            expression += i + 1 == terms ? std::string(" + ") + last : i % 2 ? " + 1" : " + x";
        return "var main()\n{\n    var x = 1;\n    return " + expression + ";\n}\n";
    };
    const std::string main = "var main()\n{\n    return 0;\n}\n";
    std::string elseIfs = "var main()\n{\n    var x = 1;\n    if (x == 0) x = 1;\n";
    for (int i = 1; i <= 1000; ++i)
        elseIfs += "    else if (x == " + std::to_string(i) + ") x = 1;\n";
    elseIfs += "    return x;\n}\n";
    Includes fanOutFiles;
    const std::string fanOut16 = fanOut(16, fanOutFiles);
    const struct {
        const char *name;
        std::string source;
        const Includes *includes = nullptr;
    } cases[] = {
        {"256 nested ternaries", "var main()\n{\n    var x = 1;\n    return " + repeat("x ? 1 : ", 256) + "0;\n}\n"},
        {"100,000 nested ternaries", "var main()\n{\n    var x = 1;\n    return " + repeat("x ? 1 : ", 100000) + "0;\n}\n"},
        {"2,000-term sum", sum(2000, "x")},
        {"4,000-term sum", sum(4000, "x")},
        {"4,000-term sum, error", sum(4000, "y")},
        {"2,000 nested #if", "var main()\n{\n" + repeat("#if 1\n", 2000) + "    return 0;\n" + repeat("#endif\n", 2000) + "}\n"},
        {"100,000 nested parentheses", "var main()\n{\n    return " + repeat("(", 100000) + "1" + repeat(")", 100000) + ";\n}\n"},
        {"1 MB #define", "#define BIG \"" + repeat("z", 1 << 20) + "\"\n" + main},
        {"5 MB comment", "/*" + repeat("c", 5 << 20) + "*/\n" + main},
        {"5 MB identifier", "var " + repeat("i", 5 << 20) + ";\n" + main},
        {"include fan-out 16", fanOut16, &fanOutFiles},
        {"1,000 else if", elseIfs},
    };
    // Goal of each: under 1 s of processor time, under 300 MB, under 1 MB
    // of diagnostics.
    std::printf("\n%-28s %8s %10s %10s %10s %12s %6s\n", "pathological source", "result", "time ms", "cpu ms",
                "peak MB", "messages KB", "goal");
    for (const auto &c : cases) {
        const Result r = measure(c.source, 1, c.includes);
        const bool goal = r.cpuMs < 1000 && r.peakKb < 300 * 1024 && r.logBytes < (1 << 20);
        std::printf("%-28s %8s %10.2f %10.2f %10.1f %12.1f %6s\n", c.name, r.image ? "compiles" : "refused", r.ms,
                    r.cpuMs, r.peakKb / 1024.0, r.logBytes / 1024.0, goal ? "met" : "MISSED");
    }
}

} // namespace

int main()
{
    const int largest = largestFitting();
    std::vector<int> sizes;
    for (int n = largest; n >= 8; n /= 2)
        sizes.insert(sizes.begin(), n);

    std::printf("%9s %10s %5s %10s %10s %10s %12s\n", "functions", "source KB", "level", "image B", "time ms",
                "peak MB", "growth");
    for (int level = 0; level <= 1; ++level) {
        double previousMs = 0, previousKb = 0;
        for (int n : sizes) {
            const std::string source = script(n);
            Result r = measure(source, level);
            for (int run = 1; run < 3 && r.ok; ++run) {
                const Result again = measure(source, level);
                r.ms = std::min(r.ms, again.ms);
                r.peakKb = std::max(r.peakKb, again.peakKb);
            }
            const double kb = source.size() / 1024.0;
            if (!r.ok || r.image == 0) {
                std::printf("%9d %10.1f %5d %10s\n", n, kb, level, "failed");
                continue;
            }
            const double growth = previousMs > 0 ? (r.ms / previousMs) / (kb / previousKb) : 1.0;
            std::printf("%9d %10.1f %5d %10zu %10.2f %10.1f %12.2f\n", n, kb, level, r.image, r.ms,
                        r.peakKb / 1024.0, growth);
            previousMs = r.ms;
            previousKb = kb;
        }
    }
    printPathological();
    return 0;
}
