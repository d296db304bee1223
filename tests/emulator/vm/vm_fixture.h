#ifndef KOLM_TEST_VM_FIXTURE_H
#define KOLM_TEST_VM_FIXTURE_H

// A fresh machine per test, with every log line captured.

#include "flash.h"
#include "image_builder.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

inline constexpr uint32_t kLogEverything = 0x1F2;

// A fault routine for board accesses that counts its calls.
inline int g_fault_count = 0;
inline void countFault()
{
    ++g_fault_count;
}

inline void loadImage(const std::string &image)
{
    std::istringstream in(image);
    kolm_flash_read(in);
}

class VmFixture {
protected:
    VmFixture()
    {
        kolm_hal_set_debug_stream(&log);
        kolm_hal_set_level(kLogEverything);
        kolm_hal_clear_timers();
        KOLM_VM = _KolmVM{};
        log.str("");
    }
    ~VmFixture() { kolm_hal_set_debug_stream(nullptr); }

    // Loads and initialises the image; like the host's start, clears the
    // flags word first.
    uint32_t load(const ImageBuilder &image)
    {
        KOLM_VM.flags = 0;
        loadImage(image.build());
        return kolm_vm_init();
    }

    // Loads the image and runs it until it halts or faults.
    uint32_t run(const ImageBuilder &image)
    {
        EXPECT_EQ(load(image), 0u);
        return kolm_vm_run();
    }

    bool logged(const std::string &text) const { return log.str().find(text) != std::string::npos; }

    std::ostringstream log;
};

class VmTest : public VmFixture, public ::testing::Test {};

template <typename T>
class VmTestP : public VmFixture, public ::testing::TestWithParam<T> {};

#endif
