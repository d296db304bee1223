/* Recursive Fibonacci: the sum of fib(20), 1,000 times. */
#include <stdint.h>
#include <stdio.h>

static uint32_t fib(uint32_t n)
{
    if (n < 2)
        return n;
    return fib(n - 1) + fib(n - 2);
}

int main(void)
{
    uint32_t total = 0;
    for (uint32_t i = 0; i < 1000; i++)
        total += fib(20);
    printf("%u\n", total);
    return 0;
}
