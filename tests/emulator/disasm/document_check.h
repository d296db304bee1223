#ifndef KOLM_TEST_DOCUMENT_CHECK_H
#define KOLM_TEST_DOCUMENT_CHECK_H

// Strict JSON and XML checks of listings through check_document.py. The
// test target defines KOLM_PYTHON and KOLM_CHECK_DOCUMENT.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// Runs the checker of the given kind ("json" or "xml") over a document with
// the given queries; returns its output and sets status to its exit status.
inline std::string checkDocument(const char *kind, const std::string &document,
                                 const std::vector<std::string> &queries, int &status)
{
    char path[] = "/tmp/kolm_listing_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return "cannot create a temporary file";
    std::ofstream(path, std::ios::binary) << document;
    close(fd);
    std::string command = std::string(KOLM_PYTHON) + " " + KOLM_CHECK_DOCUMENT + " " + kind + " " + path;
    for (const std::string &q : queries)
        command += " '" + q + "'";
    std::string output;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        status = pclose(pipe);
    } else {
        status = -1;
    }
    unlink(path);
    return output;
}

#endif
