#ifndef KOLM_FRONTEND_TEST_SUPPORT_H
#define KOLM_FRONTEND_TEST_SUPPORT_H

// Helpers of the front end's tests: diagnostics captured as plain text, a
// scratch directory, and the test driver run in-process.

#include "console_printer.h"
#include "kolm_compile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

// Collects the diagnostics printed while it lives, without colour.
class CapturedDiagnostics
{
public:
    CapturedDiagnostics()
    {
        g_output_colorized = false;
        console_set_output(&m_text);
    }
    ~CapturedDiagnostics() { console_set_output(nullptr); }
    std::string text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
};

// A directory of its own, removed with its files.
class ScratchDir
{
public:
    ScratchDir()
    {
        char name[] = "/tmp/kolm-frontend-XXXXXX";
        if (!mkdtemp(name))
            throw std::runtime_error("mkdtemp failed");
        m_path = name;
    }
    ~ScratchDir() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    std::string path(const std::string &name) const { return m_path + "/" + name; }
    std::string write(const std::string &name, const std::string &text) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }
    bool exists(const std::string &name) const { return access(path(name).c_str(), F_OK) == 0; }

private:
    std::string m_path;
};

struct DriverRun {
    int status;
    std::string out;
    std::string err;
};

inline DriverRun runDriver(const std::vector<std::string> &args)
{
    std::ostringstream out, err;
    const int status = kolmCompile(args, out, err);
    return {status, out.str(), err.str()};
}

#endif
