// Library lock and command port exports, and the state of the command port's line.
#include "Kelvane_Ravo_Q9T2.h"

#include "LibraryState.h"
#include "ModbusPorts.h"
#include "TrafficMonitor.h"

extern "C" {

// The lock exists from the library's first use on, so both are kept for callers that expect
// them and do nothing else.
int Ravo_GlobalInit(void) {
    ravo_lib::libraryLock();
    return RAVO_OK;
}

int Ravo_GlobalRelease(void) { return RAVO_OK; }

// Moves the command port to COM<portNumber>. Not under the library lock: the caller must not
// open or close while another thread exchanges frames.
int Ravo_OpenSericalPort(int portNumber) {
    ravo_lib::detachCommandPortFromModbus();
    ravo_lib::LibraryState& state = ravo_lib::libraryState();
    state.commandPort->close();
    if (!state.commandPort->open(portNumber)) return RAVO_PORT_NOT_OPENED;
    ravo_lib::notePortNumber(*state.commandPort, portNumber);
    state.portsByNumber.emplace(portNumber, state.commandPort);
    state.portsByAddress.emplace(std::uint8_t{RAVO_ANY_CONTROLLER_ADDRESS}, state.commandPort);
    return RAVO_OK;
}

void Ravo_CloseSericalPort(void) { ravo_lib::libraryState().commandPort->close(); }

// Without the library lock, so that it answers at once even while a download runs; from any
// thread, also while another opens, closes or moves the command port.
int Ravo_GetLinkState(void) { return static_cast<int>(ravo_lib::currentCommandPort()->lineState()); }

}  // extern "C"
