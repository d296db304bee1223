/* The sum of 0 .. 99,999,999 modulo 2^32. */
#include <stdint.h>
#include <stdio.h>

int main(void)
{
    uint32_t total = 0;
    for (uint32_t i = 0; i < 100000000; i++)
        total += i;
    printf("%u\n", total);
    return 0;
}
