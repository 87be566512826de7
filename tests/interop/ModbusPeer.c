/* modbus-peer: a Modbus RTU device made with libmodbus, a second implementation of the
   protocol, to poll the tool against. It takes the master side of a new pseudo-terminal and
   prints the path of the other side, which the tool opens. It answers every request DELAY_MS
   after taking it off the line, one request at a time: requests sent meanwhile wait in the
   pseudo-terminal, as they wait in a busy device or a serial gateway.

   With "tcp" it is a Modbus TCP server on 127.0.0.1 instead (a free port; it prints
   127.0.0.1:PORT), serving one connection after another.

   Usage: modbus-peer DELAY_MS [tcp]
   Ends with SIGTERM, or when the process that started it ends (Linux). */

#define _XOPEN_SOURCE 700
#define _DEFAULT_SOURCE

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <modbus.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#if defined(__linux__)
#include <signal.h>
#include <sys/prctl.h>
#endif

#include "PeerRegisters.h"

static void SleepMs(long ms) {
    struct timespec left = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

static modbus_mapping_t* NewMapping(void) {
    modbus_mapping_t* map = modbus_mapping_new_start_address(0, 8, 0, 8, MP_PEER_FIRST_REGISTER,
                                                             MP_PEER_REGISTER_COUNT, 0, 0);
    if (map == NULL) {
        return NULL;
    }
    for (int k = 0; k < 8; ++k) {
        map->tab_bits[k] = (MP_PEER_COILS >> k) & 1;
        map->tab_input_bits[k] = (MP_PEER_INPUTS >> k) & 1;
    }
    for (size_t k = 0; k < sizeof kMpPeerRegisters / sizeof kMpPeerRegisters[0]; ++k) {
        map->tab_registers[kMpPeerRegisters[k].Address - MP_PEER_FIRST_REGISTER] =
            kMpPeerRegisters[k].Value;
    }
    return map;
}

/* A Modbus TCP server on loopback: one connection at a time, each served until it closes. */
static int ServeTcp(const char* program, long delayMs) {
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", 0);
    int server = ctx == NULL ? -1 : modbus_tcp_listen(ctx, 1);
    modbus_mapping_t* map = NewMapping();
    if (server < 0 || map == NULL) {
        fprintf(stderr, "%s: libmodbus TCP server: %s\n", program, modbus_strerror(errno));
        return 1;
    }
    struct sockaddr_in address;
    socklen_t length = sizeof address;
    if (getsockname(server, (struct sockaddr*)&address, &length) != 0) {
        fprintf(stderr, "%s: getsockname: %s\n", program, strerror(errno));
        return 1;
    }
    printf("127.0.0.1:%u\n", (unsigned)ntohs(address.sin_port));
    fflush(stdout);
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    for (;;) {
        if (modbus_tcp_accept(ctx, &server) < 0) {
            SleepMs(10);
            continue;
        }
        for (;;) {
            const int got = modbus_receive(ctx, query);
            if (got > 0) {
                SleepMs(delayMs);
                modbus_reply(ctx, query, got, map);
            } else if (got < 0 && errno != EMBBADDATA && errno != EINTR) {
                break; /* the connection closed */
            }
        }
        close(modbus_get_socket(ctx));
        modbus_set_socket(ctx, -1);
    }
}

int main(int argc, char** argv) {
    char* end = NULL;
    const long delayMs = argc >= 2 ? strtol(argv[1], &end, 10) : -1;
    const int tcp = argc == 3 && strcmp(argv[2], "tcp") == 0;
    if (argc < 2 || argc > 3 || (argc == 3 && !tcp) || *end != '\0' || delayMs < 0 ||
        delayMs > 60000) {
        fprintf(stderr, "Usage: %s DELAY_MS [tcp]\n", argv[0]);
        return 2;
    }
#if defined(__linux__)
    prctl(PR_SET_PDEATHSIG, SIGTERM);
#endif
    if (tcp) {
        return ServeTcp(argv[0], delayMs);
    }

    /* libmodbus opens the pseudo-terminal's master side and sets its line up. */
    modbus_t* ctx = modbus_new_rtu("/dev/ptmx", 9600, 'N', 8, 1);
    if (ctx == NULL || modbus_set_slave(ctx, MP_PEER_SLAVE) != 0 || modbus_connect(ctx) != 0) {
        fprintf(stderr, "%s: libmodbus on /dev/ptmx: %s\n", argv[0], modbus_strerror(errno));
        return 1;
    }
    const int master = modbus_get_socket(ctx);
    const char* path = NULL;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || (path = ptsname(master)) == NULL) {
        fprintf(stderr, "%s: pseudo-terminal: %s\n", argv[0], strerror(errno));
        return 1;
    }
    /* The other side held open and raw, so that the line stays up while the tool has it
       closed and nothing is echoed before the tool sets it up. */
    const int slave = open(path, O_RDWR | O_NOCTTY);
    struct termios line;
    if (slave < 0 || tcgetattr(slave, &line) != 0) {
        fprintf(stderr, "%s: %s: %s\n", argv[0], path, strerror(errno));
        return 1;
    }
    cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    tcsetattr(slave, TCSANOW, &line);

    modbus_mapping_t* map = NewMapping();
    if (map == NULL) {
        fprintf(stderr, "%s: mapping: %s\n", argv[0], modbus_strerror(errno));
        return 1;
    }

    printf("%s\n", path);
    fflush(stdout);

    uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
    for (;;) {
        const int length = modbus_receive(ctx, query);
        if (length > 0) {
            SleepMs(delayMs);
            modbus_reply(ctx, query, length, map);
        } else if (length < 0 && errno != ETIMEDOUT && errno != EMBBADCRC && errno != EMBBADDATA &&
                   errno != EINTR) {
            fprintf(stderr, "%s: %s\n", argv[0], modbus_strerror(errno));
            SleepMs(10);
        }
    }
}
