/* What the libmodbus peer holds, shared by the peer and the test that polls it: values no
   other read can give (the currents' registers never hold a voltage's value, the inputs' bit
   is not the outputs'). C and C++. */
#ifndef MP_TESTS_INTEROP_PEER_REGISTERS_H
#define MP_TESTS_INTEROP_PEER_REGISTERS_H

#include <stdint.h>

#define MP_PEER_SLAVE 1
#define MP_PEER_FIRST_REGISTER 0x0100
#define MP_PEER_REGISTER_COUNT 0x0100
#define MP_PEER_COILS 0x05  /* output A and the reset output closed */
#define MP_PEER_INPUTS 0xA3 /* DI1, DI2, DI6 and DI8 closed */

struct MpPeerRegister {
    uint16_t Address;
    uint16_t Value;
};

static const struct MpPeerRegister kMpPeerRegisters[] = {
    {0x0103, 2311}, /* phase voltages, tenths of a volt */
    {0x0104, 2322},
    {0x0105, 2333},
    {0x0106, 1456}, /* phase currents */
    {0x0107, 1467},
    {0x0108, 1478},
    {0x011B, 0x0096},        /* status bits */
    {0x0150, MP_PEER_SLAVE}, /* settings: address, baud code 3 (9600) */
    {0x0151, 3},
    {0x0153, 1},          /* CT ratio */
    {0x0155, 5 << 8 | 0}, /* phase-loss 0.5 s, direct start */
    {0x0157, 380},        /* rated voltage */
    {0x0158, 150},        /* rated current 15.0 A */
    {0x0159, 20},
    {0x015B, 6},
    {0x015C, 40 << 8 | 5},
    {0x015D, 20 << 8 | 0},
    {0x015E, 30 << 8 | 50},
    {0x0160, 120 << 8 | 5}, /* over- and under-voltage, breaking current */
    {0x0161, 80 << 8 | 5},
    {0x0162, 9999},
};

#endif
