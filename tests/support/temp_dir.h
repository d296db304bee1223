#ifndef KOLM_TEST_TEMP_DIR_H
#define KOLM_TEST_TEMP_DIR_H

// A fresh directory for one test's files, removed with everything in it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kolm-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    std::string path(const std::string &name) const { return (m_path / name).string(); }

    // Writes a file and returns its path.
    std::string write(const std::string &name, const std::string &content) const
    {
        std::ofstream out(path(name), std::ios::binary);
        out << content;
        return path(name);
    }

    static std::string read(const std::string &file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};

#endif
