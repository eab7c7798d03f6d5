// Another process using the library: opens COM<argv[1]> through it and exits with the result
// of Ravo_OpenSericalPort (0 opened, 2 not).
#include <Kelvane_Ravo_Q9T2.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) return 64;
    Ravo_GlobalInit();
    return Ravo_OpenSericalPort(std::atoi(argv[1]));
}
