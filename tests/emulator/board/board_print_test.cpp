// Stream printers of the board's log lines.

#include "kolm_hal_pins.h"
#include "kolm_hal_print.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(BoardPrinters, FormatAndLeaveTheStreamAsItWas)
{
    std::ostringstream out;
    out << std::dec;
    const uint8_t bytes[] = {0x00, 0x0A, 0xFF};
    out << HexValue{0x1A2B} << " " << BinArray{bytes, 3} << " " << IOPin{0x2D, 0x1C, 1, 0, 0} << " " << 255;
    EXPECT_EQ(out.str(), "0x00001a2b [000aff] PC13(mode=0x0000001c, value=1) 255");
    EXPECT_EQ(out.fill(), ' ');
}
