#include "comm32/serial_driver.h"

#include "comm32/posix_serial_driver.h"

namespace ob {
namespace {

SerialDriver* Installed = nullptr;

SerialDriver& PosixDriver() {
    static PosixSerialDriver driver;
    return driver;
}

} // namespace

SerialDriver& Driver() {
    return Installed ? *Installed : PosixDriver();
}

void InstallDriver(SerialDriver* driver) {
    Installed = driver;
}

} // namespace ob
