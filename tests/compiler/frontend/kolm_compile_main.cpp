#include "kolm_compile.h"

#include <iostream>

int main(int argc, char **argv)
{
    return kolmCompile(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
