// A libmodbus slave for the interoperation tests: holding registers 0..9999, register a
// starting with the value a; addresses beyond answer with exception 2 (libmodbus's own).
//
//   rv8_modbus_slave --tcp                      listens on 127.0.0.1, prints "PORT <n>"
//   rv8_modbus_slave --rtu DEVICE [--node N] [--baud N] [--parity N|E|O] [--stop 1|2]
//   --set A=V (repeatable) gives register A the value V instead (e.g. a starter's identification).
//
// It ends by itself after --lifetime seconds (default 120) so a crashed test leaves nothing.
#include <modbus.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    std::string mode;
    std::string device;
    int node = 1;
    int baud = 19200;
    char parity = 'N';
    int stop = 1;
    int lifetime = 120;
    std::vector<std::pair<int, int>> presets;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--tcp")
            mode = "tcp";
        else if (a == "--rtu") {
            mode = "rtu";
            device = next();
        } else if (a == "--node")
            node = std::atoi(next());
        else if (a == "--baud")
            baud = std::atoi(next());
        else if (a == "--parity")
            parity = next()[0];
        else if (a == "--stop")
            stop = std::atoi(next());
        else if (a == "--set") {
            const std::string pair = next();
            const auto eq = pair.find('=');
            if (eq == std::string::npos) {
                std::fprintf(stderr, "--set takes A=V\n");
                return 2;
            }
            presets.push_back({std::atoi(pair.substr(0, eq).c_str()), std::atoi(pair.substr(eq + 1).c_str())});
        } else if (a == "--lifetime")
            lifetime = std::atoi(next());
        else {
            std::fprintf(stderr, "unknown argument %s\n", a.c_str());
            return 2;
        }
    }
    alarm(static_cast<unsigned>(lifetime));

    modbus_mapping_t* map = modbus_mapping_new(0, 0, 10000, 0);
    for (int a = 0; a < 10000; ++a)
        map->tab_registers[a] = static_cast<uint16_t>(a);
    for (const auto& [address, value] : presets)
        if (address >= 0 && address < 10000)
            map->tab_registers[address] = static_cast<uint16_t>(value);
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];

    if (mode == "tcp") {
        modbus_t* ctx = modbus_new_tcp("127.0.0.1", 0);
        const int server = modbus_tcp_listen(ctx, 1);
        if (server < 0) {
            std::perror("listen");
            return 1;
        }
        sockaddr_in addr{};
        socklen_t len = sizeof addr;
        getsockname(server, reinterpret_cast<sockaddr*>(&addr), &len);
        std::printf("PORT %d\n", ntohs(addr.sin_port));
        std::fflush(stdout);
        int s = server;
        for (;;) {
            if (modbus_tcp_accept(ctx, &s) < 0)
                continue;
            for (;;) {
                const int rc = modbus_receive(ctx, query);
                if (rc > 0)
                    modbus_reply(ctx, query, rc, map);
                else if (rc == -1)
                    break;
            }
            modbus_close(ctx);  // the client's connection; keep listening
            s = server;
        }
    }
    if (mode == "rtu") {
        modbus_t* ctx = modbus_new_rtu(device.c_str(), baud, parity, 8, stop);
        modbus_set_slave(ctx, node);
        if (modbus_connect(ctx) != 0) {
            std::perror("open");
            return 1;
        }
        std::printf("READY\n");
        std::fflush(stdout);
        for (;;) {
            const int rc = modbus_receive(ctx, query);
            if (rc > 0)
                modbus_reply(ctx, query, rc, map);
        }
    }
    std::fprintf(stderr, "usage: rv8_modbus_slave --tcp | --rtu DEVICE [--node N]\n");
    return 2;
}
