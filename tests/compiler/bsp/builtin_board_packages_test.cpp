#include "kolm_board_package.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

KolmBoardPackageParser load(const std::string &file)
{
    KolmBoardPackageParser bsp;
    std::string message;
    EXPECT_TRUE(bsp.parse(std::string(KOLM_BSP_DIR) + "/" + file, &message)) << message;
    EXPECT_EQ(message, "");
    return bsp;
}

const KolmBoardPackageParser &emulator()
{
    static const KolmBoardPackageParser bsp = load("Emulator.kbsp");
    return bsp;
}

const KolmBoardPackageParser &stm32()
{
    static const KolmBoardPackageParser bsp = load("STM32F0.kbsp");
    return bsp;
}

// Pin names: "P", a port letter, then the pin number.
bool isPin(const std::string &name)
{
    return name.size() >= 3 && name[0] == 'P' && name[1] >= 'A' && name[1] <= 'Z' &&
           name.find_first_not_of("0123456789", 2) == std::string::npos;
}

std::set<std::string> pins(const KolmBoardPackageParser &bsp)
{
    std::set<std::string> result;
    for (const std::string &name : bsp.peripherals())
        if (isPin(name))
            result.insert(name);
    return result;
}

TEST(EmulatorPackage, Platform)
{
    const KolmBoardPackageParser &bsp = emulator();
    EXPECT_EQ(bsp.name, "Emulator");
    EXPECT_EQ(bsp.abi, 4u);
    EXPECT_EQ(bsp.ram_address, 0x20000000u);
    EXPECT_EQ(bsp.ram_size, 256u);
    EXPECT_EQ(bsp.rom_address, 0x08000000u);
    EXPECT_EQ(bsp.hal_address, 0x40000000u);
}

TEST(EmulatorPackage, PinsAThroughI)
{
    const std::set<std::string> names = pins(emulator());
    EXPECT_EQ(names.size(), 9u * 16u);
    EXPECT_TRUE(names.count("PA0"));
    EXPECT_TRUE(names.count("PI15"));
    EXPECT_FALSE(names.count("PJ0"));
    EXPECT_FALSE(names.count("PA16"));
    for (const std::string &pin : names)
        EXPECT_EQ(emulator().registers(pin).size(), 5u) << pin;
}

// One register of the simulated board: its address relative to the
// peripheral base and the accesses the board serves.
struct BoardRegister {
    const char *peripheral;
    const char *reg;
    uint32_t address;
    uint32_t access;
};

void PrintTo(const BoardRegister &r, std::ostream *out) { *out << r.peripheral << "." << r.reg; }

class EmulatorRegister : public ::testing::TestWithParam<BoardRegister> {};

TEST_P(EmulatorRegister, AddressAndAccess)
{
    const BoardRegister &r = GetParam();
    bool found = false;
    EXPECT_EQ(emulator().address(r.peripheral, r.reg, &found), r.address);
    EXPECT_TRUE(found);
    EXPECT_EQ(emulator().access(r.peripheral, r.reg, &found), r.access);
    EXPECT_TRUE(found);
}

constexpr uint32_t G = KOLM_ACCESS_GET, S = KOLM_ACCESS_SET, R = KOLM_ACCESS_READ,
                   W = KOLM_ACCESS_WRITE;

INSTANTIATE_TEST_SUITE_P(
    Pins, EmulatorRegister,
    ::testing::Values(BoardRegister{"PA0", "VALUE", 0x00000000, G | S},
                      BoardRegister{"PA1", "TOGGLE", 0x00010004, S},
                      BoardRegister{"PC3", "MODE", 0x00230008, G | S},
                      BoardRegister{"PE7", "DELAY", 0x0047000C, G | S},
                      BoardRegister{"PI15", "PWM", 0x008F0010, G | S},
                      BoardRegister{"PI15", "TOGGLE", 0x008F0004, S}));

// Every register of the fixed peripherals, so that the package describes
// the board's address map exactly.
INSTANTIATE_TEST_SUITE_P(
    Peripherals, EmulatorRegister,
    ::testing::Values(BoardRegister{"TIME", "YEAR", 0x01000000, G},
                      BoardRegister{"TIME", "MONTH", 0x01000004, G},
                      BoardRegister{"TIME", "DAY", 0x01000008, G},
                      BoardRegister{"TIME", "HOUR", 0x0100000C, G},
                      BoardRegister{"TIME", "MINUTE", 0x01000010, G},
                      BoardRegister{"TIME", "SECOND", 0x01000014, G},
                      BoardRegister{"TIME", "EPOCH", 0x01000018, G | S},
                      BoardRegister{"TIME", "STRING", 0x0100001C, R},
                      BoardRegister{"SYS", "FLASH_SIZE", 0x01100000, G},
                      BoardRegister{"SYS", "FLASH_PAGE", 0x01100004, G},
                      BoardRegister{"SYS", "RAM_FREE", 0x01100008, G},
                      BoardRegister{"SYS", "RAM_FREE_ADDRESS", 0x0110000C, G},
                      BoardRegister{"SYS", "RANDOM", 0x01100010, G},
                      BoardRegister{"SYS", "WORD_SIZE", 0x01100014, G},
                      BoardRegister{"SYS", "ADDRESS", 0x01100018, G | S},
                      BoardRegister{"RING", "ALLOC", 0x01110000, G | S},
                      BoardRegister{"RING", "COUNT", 0x01110004, G},
                      BoardRegister{"RING", "POP", 0x01110008, G},
                      BoardRegister{"RING", "PUSH", 0x0111000C, S},
                      BoardRegister{"RING", "BUF", 0x01110010, W},
                      BoardRegister{"PC", "TX", 0x01200000, W},
                      BoardRegister{"MSG", "ADDRESS", 0x01300000, G | S},
                      BoardRegister{"MSG", "PORT", 0x01300004, G | S},
                      BoardRegister{"MSG", "RX", 0x01300008, R},
                      BoardRegister{"MSG", "TX", 0x0130000C, W},
                      BoardRegister{"MSG", "SIZE", 0x01300010, G},
                      BoardRegister{"MSG", "CAN_SEND", 0x01300014, G},
                      BoardRegister{"FLASH", "ERASE", 0x01400000, S},
                      BoardRegister{"FLASH", "DATA", 0x01400004, G | R | W}));

TEST(EmulatorPackage, FixedPeripheralsHaveNoOtherRegisters)
{
    const std::map<std::string, size_t> counts = {{"TIME", 8}, {"SYS", 7}, {"RING", 5},
                                                  {"PC", 1},   {"MSG", 6}, {"FLASH", 2}};
    for (const auto &peripheral : counts)
        EXPECT_EQ(emulator().registers(peripheral.first).size(), peripheral.second)
            << peripheral.first;
    EXPECT_EQ(emulator().peripherals().size(), 9u * 16u + counts.size());
}

std::multiset<std::string> dumpLines(const KolmBoardPackageParser &bsp)
{
    std::ostringstream out;
    bsp.dump(out);
    std::multiset<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);)
        lines.insert(line);
    return lines;
}

TEST(EmulatorPackage, Dump)
{
    const std::multiset<std::string> lines = dumpLines(emulator());
    EXPECT_EQ(lines.size(), 1u + 9u * 16u * 5u + 29u + 19u);
    for (const char *line :
         {"BSP Emulator: RAM [0x20000000:200000ff], DATA 0x8000000, PERIPH 0x40000000",
          "                       PA0.VALUE -> 0x00000000 as 00000003",
          "                     PI15.TOGGLE -> 0x008f0004 as 00000002",
          "                       TIME.YEAR -> 0x01000000 as 00000001",
          "                      FLASH.DATA -> 0x01400004 as 0000000d",
          "define:          GPIO_MODE_OUTPUT -> 0x01",
          "define:        GPIO_INIT_DUTY_POS -> 12"})
        EXPECT_EQ(lines.count(line), 1u) << line;
}

// The GPIO defines that both built-in packages carry.
const std::map<std::string, std::string> kGpioDefines = {
    {"GPIO_MODE_INPUT", "0x00"},    {"GPIO_MODE_OUTPUT", "0x01"},
    {"GPIO_MODE_ADC", "0x02"},      {"GPIO_MODE_EXTI", "0x03"},
    {"GPIO_MODE_OPWM", "0x04"},     {"GPIO_MODE_IPWM", "0x05"},
    {"GPIO_OTYPE_PP", "0x00"},      {"GPIO_OTYPE_OD", "0x10"},
    {"GPIO_TRIGGER_RISE", "0x20"},  {"GPIO_TRIGGER_FALL", "0x40"},
    {"GPIO_PULL_UP", "0x80"},       {"GPIO_PULL_DOWN", "0x100"},
    {"GPIO_TYPE_SOFTWARE", "0x200"}, {"GPIO_ADC_BINARY", "0x200"},
    {"GPIO_MEASURE_FREQ", "0x200"}, {"GPIO_INIT_HIGH", "0x800"},
    {"GPIO_INIT_LOW", "0x00"},      {"GPIO_INIT_DUTY_POS", "12"},
    {"GPIO_INIT_EDGE_POS", "20"},
};

TEST(BuiltinPackages, CarryTheGpioDefines)
{
    for (const KolmBoardPackageParser *bsp : {&emulator(), &stm32()}) {
        const std::map<std::string, std::string> defines(bsp->define_map.begin(),
                                                         bsp->define_map.end());
        EXPECT_EQ(defines, kGpioDefines) << bsp->name;
    }
}

TEST(Stm32Package, PlatformPinsAndTimers)
{
    const KolmBoardPackageParser &bsp = stm32();
    EXPECT_EQ(bsp.name, "STM32 (M0)");
    EXPECT_EQ(bsp.abi, 4u);
    EXPECT_EQ(bsp.hal_address, 0x40000000u);

    const std::set<std::string> names = pins(bsp);
    EXPECT_EQ(names.size(), 6u * 16u);
    EXPECT_TRUE(names.count("PF15"));
    EXPECT_FALSE(names.count("PG0"));
    EXPECT_EQ(bsp.address("PB2", "TOGGLE"), 0x00120004u);

    EXPECT_EQ(bsp.address("TIM2"), 0x02020000u);
    EXPECT_EQ(bsp.address("TIM3"), 0x02030000u);
    EXPECT_EQ(bsp.address("TIM16"), 0x02100000u);
    EXPECT_EQ(bsp.address("TIM16", "PERIOD"), 0x02100004u);
    bool found = true;
    bsp.address("TIMx", &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(bsp.address("USART2", "TX"), 0x02820010u);
    EXPECT_EQ(bsp.access("USART2", "TX"), W);
}

TEST(BuiltinPackages, ShareTheFirmwarePeripherals)
{
    for (const char *peripheral : {"TIME", "SYS", "RING", "PC", "MSG", "FLASH"}) {
        EXPECT_EQ(stm32().address(peripheral), emulator().address(peripheral)) << peripheral;
        for (const std::string &reg : emulator().registers(peripheral)) {
            EXPECT_EQ(stm32().address(peripheral, reg), emulator().address(peripheral, reg))
                << peripheral << "." << reg;
            EXPECT_EQ(stm32().access(peripheral, reg), emulator().access(peripheral, reg))
                << peripheral << "." << reg;
        }
    }
}

} // namespace
