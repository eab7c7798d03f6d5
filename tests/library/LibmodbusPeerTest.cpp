// Our Modbus framing against an independent implementation: a libmodbus RTU server for slave
// 17 on COM2, reached through the routing of Modbus_OpenSerical (the simulated controller on
// COM1 names the slave in its registers 200..201). libmodbus answers only requests whose
// layout and CRC it accepts, and its tables show what our writes carried.
#include "PtyPeer.h"
#include "TemporaryComFolder.h"

#include <modbus.h>

#include <fcntl.h>
#include <unistd.h>
#include <atomic>
#include <cstdlib>

namespace {

constexpr int kSlave = 17;

// A libmodbus RTU server on the master side of a pseudo-terminal whose slave side is linked as
// <folder>/COM<n>.
class LibmodbusServer {
public:
    LibmodbusServer(const std::string& folder, int comNumber) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) std::abort();
        const std::string slavePath = ptsname(master_);
        // Held open so the master never sees a hang-up between the library's opens.
        keepAlive_ = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
        link_ = folder + "/COM" + std::to_string(comNumber);
        if (symlink(slavePath.c_str(), link_.c_str()) != 0) std::abort();

        context_ = modbus_new_rtu("/dev/null", 19200, 'N', 8, 1);
        modbus_set_slave(context_, kSlave);
        modbus_set_socket(context_, master_);
        // Without these libmodbus waits 500 ms before each exception reply.
        modbus_set_response_timeout(context_, 0, 1000);
        modbus_set_error_recovery(context_, MODBUS_ERROR_RECOVERY_PROTOCOL);
        modbus_set_indication_timeout(context_, 0, 50000);
        tables_ = modbus_mapping_new(200, 0, 200, 200);
        thread_ = std::thread([this] { serve(); });
    }

    ~LibmodbusServer() {
        stopping_ = true;
        thread_.join();
        modbus_mapping_free(tables_);
        modbus_free(context_);  // not modbus_close: the descriptor is ours
        unlink(link_.c_str());
        close(keepAlive_);
        close(master_);
    }

    // The exports wait for each reply, which libmodbus sends after it used its tables.
    modbus_mapping_t& tables() { return *tables_; }

private:
    void serve() {
        std::uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!stopping_) {
            const int length = modbus_receive(context_, request);
            if (length > 0) modbus_reply(context_, request, length, tables_);
        }
    }

    int master_ = -1;
    int keepAlive_ = -1;
    std::string link_;
    modbus_t* context_ = nullptr;
    modbus_mapping_t* tables_ = nullptr;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace

TEST(LibmodbusPeer, WritesLandInItsTablesReadsDecodeThemAndExceptionsFailReadsOnly) {
    TemporaryComFolder folder;
    const auto controller = folder.simulator(1);
    controller->setRegister(200, kSlave);
    controller->setRegister(201, 0);
    LibmodbusServer server{folder.path(), 2};
    ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    unsigned char slave = 0;
    ASSERT_EQ(Modbus_OpenSerical(2, &slave), 0);
    ASSERT_EQ(slave, kSlave);

    modbus_mapping_t& t = server.tables();
    t.tab_bits[156] = 1;
    EXPECT_EQ(Modbus_WriteShort(kSlave, 100, -2), 0);
    EXPECT_EQ(Modbus_WriteLong(kSlave, 110, 0x12345678), 0);
    EXPECT_EQ(Modbus_WriteFloat(kSlave, 120, -2.5f), 0);
    EXPECT_EQ(Modbus_WriteCoil(kSlave, 157, 1), 0);
    EXPECT_EQ(Modbus_WriteCoil(kSlave, 156, 0), 0);
    EXPECT_EQ(t.tab_registers[100], 0xFFFE);
    EXPECT_EQ(t.tab_registers[110], 0x5678);
    EXPECT_EQ(t.tab_registers[111], 0x1234);
    EXPECT_EQ(t.tab_registers[120], 0x0000);
    EXPECT_EQ(t.tab_registers[121], 0xC020);
    EXPECT_EQ(t.tab_bits[157], 1);
    EXPECT_EQ(t.tab_bits[156], 0);
    t.tab_input_registers[130] = 0xFFFE;
    t.tab_input_registers[140] = 0x5678;
    t.tab_input_registers[141] = 0x1234;
    t.tab_input_registers[150] = 0x0000;
    t.tab_input_registers[151] = 0x3F80;
    short s = 0;
    int l = 0;
    float f = 0;
    EXPECT_EQ(Modbus_ReadShort(kSlave, 130, &s), 0);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(Modbus_ReadLong(kSlave, 140, &l), 0);
    EXPECT_EQ(l, 0x12345678);
    EXPECT_EQ(Modbus_ReadFloat(kSlave, 150, &f), 0);
    EXPECT_EQ(f, 1.0f);
    // libmodbus answers a one-coil read with the standard 6 bytes; the controller sends 8.
    unsigned char state = 7;
    EXPECT_EQ(Modbus_ReadCoil(kSlave, 157, &state), 6);
    EXPECT_EQ(state, 7);

    EXPECT_EQ(Modbus_ReadShort(kSlave, 1000, &s), 6);  // beyond libmodbus's tables
    EXPECT_EQ(s, -2);
    EXPECT_EQ(Modbus_ReadLong(kSlave, 199, &l), 6);  // runs past the last register
    EXPECT_EQ(l, 0);
    EXPECT_EQ(Modbus_WriteShort(kSlave, 1000, 1), 0);
    // The server is still in step: a proper request gets a proper reply.
    EXPECT_EQ(Modbus_ReadShort(kSlave, 130, &s), 0);
    Modbus_CloseSerical(2);
    Ravo_CloseSericalPort();
}
