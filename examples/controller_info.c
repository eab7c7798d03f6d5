/*
 * controller_info: opens a COM port, asks the controller for its version and prints the levels
 * of its 24 inputs, through the library's C interface.
 *
 *   controller_info [COM-NUMBER]        (default 1: COM1 is /dev/ttyS0, or $RAVO_COM_DIR/COM1)
 *
 * Build it against an installed library, with pkg-config:
 *   cc -o controller_info controller_info.c $(pkg-config --cflags --libs kelvane-ravo)
 * or with the CMake package: see CMakeLists.txt beside this file.
 */
#include <Kelvane_Ravo_Q9T2.h>

#include <stdio.h>
#include <stdlib.h>

enum { INPUT_COUNT = 24 };

int main(int argc, char** argv) {
    const int com = argc > 1 ? atoi(argv[1]) : 1;
    const int addr = RAVO_ANY_CONTROLLER_ADDRESS;
    int version = 0, low = 0, high = 0, pin;

    Ravo_GlobalInit();
    if (Ravo_OpenSericalPort(com) != RAVO_OK) {
        fprintf(stderr, "controller_info: cannot open COM%d\n", com);
        return 1;
    }

    /* A command whose exchange failed still returns RAVO_OK: no reply leaves the version 0. */
    Ravo_GetControllerVersion(addr, &version);
    if (version == 0) {
        fprintf(stderr, "controller_info: no reply from a controller on COM%d\n", com);
        Ravo_CloseSericalPort();
        return 1;
    }
    printf("controller version %d.%d\n", (version >> 8) & 0xff, version & 0xff);

    /* One query returns 16 pins: IN1..IN16, then IN17..IN24 (bit n is pin firstPin + n). */
    Ravo_GetAllIOPinLevel(addr, 1, &low);
    Ravo_GetAllIOPinLevel(addr, 17, &high);
    printf("inputs IN1..IN24: ");
    for (pin = 1; pin <= INPUT_COUNT; ++pin) {
        const int bits = pin <= 16 ? low : high;
        const int bit = pin <= 16 ? pin - 1 : pin - 17;
        putchar((bits >> bit) & 1 ? '1' : '0');
    }
    putchar('\n');

    Ravo_CloseSericalPort();
    return 0;
}
