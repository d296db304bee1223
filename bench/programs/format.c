/* String formatting: 1,000,000 numbers written into a buffer in decimal and
 * hexadecimal; the sum of the lengths written. */
#include <stdint.h>
#include <stdio.h>

int main(void)
{
    char buf[32];
    uint32_t total = 0;
    for (uint32_t i = 0; i < 1000000; i++)
        total += (uint32_t)snprintf(buf, sizeof buf, "%u:%X;", i, i * 7);
    printf("%u\n", total);
    return 0;
}
