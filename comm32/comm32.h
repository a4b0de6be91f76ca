#pragma once
// The one serial port of the process.

#include "comm32/comm32_state.h"

#include <cstdint>
#include <string>

namespace ob {

// Opens a port by designator: "bio<n>" (any case) opens COM<n> synchronously, through the
// port table; anything else is a device path, opened in overlapped mode. 0 or an error code.
int32_t OpenPort(const std::string& designator);
int32_t SetupPort(uint32_t baud, char parity, uint8_t dataBits, uint8_t stopBits, char flow);
int32_t ClosePort();
uint16_t InQueue();        // bytes waiting; a lost port is reopened here and reports 0
uint16_t OutQueue();       // bytes not yet sent
bool ReadByte(uint8_t& b); // never waits
bool WriteData(const std::string& bytes); // true: busy, nothing was sent

// Waits at most `milliseconds` for a byte to arrive; returns at once when one waits.
// Without an open port it simply sleeps.
void WaitForInput(int milliseconds);
// The open port's descriptor, for an event loop to wake on its input; -1 without an open port.
int InputDescriptor();

} // namespace ob
