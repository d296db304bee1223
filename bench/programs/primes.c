/* The number of primes below 1,000,000 by trial division. */
#include <stdint.h>
#include <stdio.h>

int main(void)
{
    uint32_t count = 0;
    for (uint32_t n = 2; n < 1000000; n++) {
        uint32_t prime = 1;
        for (uint32_t d = 2; d * d <= n; d++) {
            if (n % d == 0) {
                prime = 0;
                break;
            }
        }
        count += prime;
    }
    printf("%u\n", count);
    return 0;
}
