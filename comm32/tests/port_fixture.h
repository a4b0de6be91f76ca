#pragma once
// Each test starts with no port open, the module's initial state, the POSIX driver and a
// port table of its own.

#include "comm32/comm32.h"
#include "comm32/port_table.h"
#include "comm32/serial_driver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace ob::testing {

class PortTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override {
        Reset();
        unsetenv("OBFLASH_PORTS");
        ReloadPortTable();
    }

    static void UsePorts(const std::string& table) {
        setenv("OBFLASH_PORTS", table.c_str(), 1);
        ReloadPortTable();
    }

    // Puts a driver of the test's own behind the module for the rest of the test.
    template <class Driver> Driver& Install() {
        auto driver = std::make_unique<Driver>();
        Driver& installed = *driver;
        injected = std::move(driver);
        InstallDriver(&installed);
        return installed;
    }

    // Polls the receive queue, waiting between polls, until it holds `count` bytes.
    static bool WaitForQueued(uint16_t count) {
        for (int poll = 0; poll < 100; ++poll) {
            if (InQueue() >= count)
                return InQueue() == count;
            WaitForInput(50);
        }
        return false;
    }

private:
    std::unique_ptr<SerialDriver> injected; // outlives TearDown, which closes its port

    static void Reset() {
        if (Comm.PortHandle != InvalidHandle)
            ClosePort();
        Comm = {};
        InstallDriver(nullptr);
    }
};

} // namespace ob::testing
