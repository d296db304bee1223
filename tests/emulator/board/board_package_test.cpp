// The simulated board serves every register of the built-in Emulator
// package at the package's address, with exactly the access the package
// grants (get, set, read, write).

#include "kolm_board_package.h"
#include "vm_fixture.h"

#include <vector>

namespace {

enum Access { GET, SET, READ, WRITE };
const uint32_t kAccessBits[] = {KOLM_ACCESS_GET, KOLM_ACCESS_SET, KOLM_ACCESS_READ, KOLM_ACCESS_WRITE};
const char *const kAccessNames[] = {"get", "set", "read", "write"};

// Performs one access; true when the board served it (no fault).
bool serves(Access access, uint32_t address, uint32_t value)
{
    KOLM_VM.flags = 0;
    g_fault_count = 0;
    uint8_t buffer[64] = {1, 2, 3, 4};
    switch (access) {
    case GET: kolm_hal_periph_get(address, countFault); break;
    case SET: kolm_hal_periph_set(address, value, countFault); break;
    case READ: kolm_hal_periph_read(address, buffer, sizeof buffer, countFault); break;
    case WRITE: kolm_hal_periph_write(address, buffer, 4, countFault); break;
    }
    return g_fault_count == 0 && (KOLM_VM.flags & KOLM_FLAG_SEGV) == 0;
}

} // namespace

TEST(BoardPackage, EveryRegisterServedWithItsAccess)
{
    KolmBoardPackageParser bsp;
    std::string message;
    ASSERT_TRUE(bsp.parse(std::string(KOLM_BSP_DIR) + "/Emulator.kbsp", &message)) << message;
    ASSERT_EQ(bsp.hal_address, KOLM_ADDR_PERIPH);
    std::ostringstream log;
    kolm_hal_set_debug_stream(&log);
    kolm_hal_set_level(0);
    kolm_hal_init();

    std::vector<std::string> mismatches;
    size_t checked = 0;
    for (const std::string &peripheral : bsp.peripherals()) {
        for (const auto &entry : bsp.peripheryTable(peripheral)) {
            const uint32_t address = bsp.hal_address + entry.second.register_address;
            // A ring size the board accepts; any value elsewhere.
            const uint32_t value = peripheral == "RING" && entry.first == "ALLOC" ? 64 : 1;
            for (Access access : {GET, SET, READ, WRITE}) {
                const bool granted = (entry.second.access_bits & kAccessBits[access]) != 0;
                if (serves(access, address, value) != granted)
                    mismatches.push_back(peripheral + "." + entry.first + " " + kAccessNames[access] +
                                         (granted ? " refused" : " served"));
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 9u * 16u * 5u);
    EXPECT_TRUE(mismatches.empty()) << ::testing::PrintToString(mismatches);
    kolm_hal_set_debug_stream(nullptr);
}
