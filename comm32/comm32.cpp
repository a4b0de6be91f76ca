#include "comm32/comm32.h"

#include "comm32/serial_driver.h"

#include <cctype>

namespace ob {
namespace {

constexpr uint32_t RequestedQueue = 2048;
constexpr std::size_t MaxDeviceRemainder = 255;
constexpr int32_t ShortWrite = -5;

bool IsBioForm(const std::string& designator) {
    if (designator.size() < 3)
        return false;
    std::string head = designator.substr(0, 3);
    for (char& c : head)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return head == "BIO";
}

std::string UpperCased(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

uint8_t ParityCode(char letter, uint8_t current) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'E':
        return EVENPARITY;
    case 'M':
        return MARKPARITY;
    case 'N':
        return NOPARITY;
    case 'O':
        return ODDPARITY;
    case 'S':
        return SPACEPARITY;
    default:
        return current;
    }
}

void SetFixedFields(DCB& dcb) {
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl |= 1;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 1;
    dcb.fErrorChar = 0;
    dcb.fAbortOnError = 0;
    dcb.ErrorChar = '?';
    dcb.XonLim = 256;
    dcb.XoffLim = 1024;
}

void SetFlowControl(DCB& dcb, char letter) {
    auto software = [&dcb](uint8_t on) { dcb.fOutX = dcb.fInX = on; };
    auto hardware = [&dcb](uint8_t on) { dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = on; };
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'X':
        software(1);
        break;
    case 'H':
        hardware(1);
        break;
    case 'B':
        software(1);
        hardware(1);
        break;
    case 'N':
        software(0);
        hardware(0);
        break;
    case 'S':
        software(0);
        break;
    default: // R and any other letter change nothing
        break;
    }
}

void ForgetPendingWrite() {
    if (Comm.PendingWrite.hEvent == InvalidHandle)
        return;
    Driver().CloseHandle(Comm.PendingWrite.hEvent);
    Comm.PendingWrite.hEvent = InvalidHandle;
}

// Step one of a write in overlapped mode: true while the last write is still under way.
bool PendingWriteBusy() {
    if (Comm.PendingWrite.hEvent == InvalidHandle)
        return false;
    uint32_t transferred = 0;
    if (!Driver().GetOverlappedResult(Comm.PortHandle, Comm.PendingWrite, transferred) &&
        Driver().LastError() == ERROR_IO_INCOMPLETE)
        return true;
    ForgetPendingWrite();
    return false;
}

void WriteOverlapped(const std::string& bytes) {
    Comm.PendingWrite = {};
    Comm.PendingWrite.hEvent = Driver().CreateEvent();
    uint32_t written = 0;
    bool ok = Driver().WriteFile(Comm.PortHandle, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                 written, &Comm.PendingWrite);
    int32_t error = ok ? ERROR_SUCCESS : Driver().LastError();
    Comm.PortError = error == ERROR_IO_PENDING ? ERROR_SUCCESS : error;
}

void WriteSynchronous(const std::string& bytes) {
    uint32_t written = 0;
    if (!Driver().WriteFile(Comm.PortHandle, bytes.data(), static_cast<uint32_t>(bytes.size()),
                            written, nullptr)) {
        Comm.PortError = Driver().LastError();
        return;
    }
    Comm.PortError = written < bytes.size() ? ShortWrite : ERROR_SUCCESS;
}

} // namespace

int32_t OpenPort(const std::string& designator) {
    if (Comm.PortHandle != InvalidHandle)
        ClosePort();
    bool bio = IsBioForm(designator);
    Comm.OverlappedMode = !bio;
    std::string device = bio ? "COM" + designator.substr(3, MaxDeviceRemainder) : designator;
    Handle port = Driver().CreateFile(device, Comm.OverlappedMode);
    if (port == InvalidHandle) {
        Comm.PortError = Driver().LastError();
        return Comm.PortError;
    }
    Comm.PortHandle = port;
    Comm.PortError = ERROR_SUCCESS;
    // Paths are case-sensitive here: an upper-cased path would name another file, and the
    // recovery could never reopen it.
    Comm.SavedPort = bio ? UpperCased(designator) : designator;
    Driver().SetupComm(port, RequestedQueue, RequestedQueue);
    COMMPROP properties{};
    Driver().GetCommProperties(port, properties);
    Comm.TxQueueSize = static_cast<uint16_t>(properties.dwCurrentTxQueue);
    if (Comm.TxQueueSize == 0)
        Comm.TxQueueSize = RequestedQueue;
    return ERROR_SUCCESS;
}

int32_t SetupPort(uint32_t baud, char parity, uint8_t dataBits, uint8_t stopBits, char flow) {
    Comm.PortError = ERROR_SUCCESS;
    Comm.SavedSettings = {baud, parity, dataBits, stopBits, flow};
    DCB dcb;
    if (!Driver().GetCommState(Comm.PortHandle, dcb))
        dcb = DCB{}; // nothing read from the port: the fields not set below take the defaults
    dcb.BaudRate = baud;
    dcb.Parity = ParityCode(parity, dcb.Parity);
    dcb.ByteSize = dataBits;
    dcb.StopBits = stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    SetFixedFields(dcb);
    SetFlowControl(dcb, flow);
    if (!Driver().SetCommState(Comm.PortHandle, dcb)) {
        Comm.PortError = Driver().LastError();
        return Comm.PortError;
    }
    COMMTIMEOUTS immediateReads{MAXDWORD, 0, 0, 0, 0};
    Driver().SetCommTimeouts(Comm.PortHandle, immediateReads);
    Driver().PurgeComm(Comm.PortHandle,
                       PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    if (Comm.OverlappedMode)
        ForgetPendingWrite(); // the purge has ended it
    return Comm.PortError;
}

int32_t ClosePort() {
    Comm.PortError = Driver().CloseHandle(Comm.PortHandle) ? ERROR_SUCCESS : Driver().LastError();
    Comm.PortHandle = InvalidHandle;
    return Comm.PortError;
}

uint16_t InQueue() {
    uint32_t errors = 0;
    if (Driver().ClearCommError(Comm.PortHandle, errors, Comm.PortStatus))
        return static_cast<uint16_t>(Comm.PortStatus.cbInQue);
    // The port is gone or none is open: bring back the last one that opened.
    std::string port = Comm.SavedPort;
    LineSettings settings = Comm.SavedSettings;
    ClosePort();
    OpenPort(port);
    SetupPort(settings.baud, settings.parity, settings.dataBits, settings.stopBits, settings.flow);
    return 0;
}

uint16_t OutQueue() {
    uint32_t errors = 0;
    Driver().ClearCommError(Comm.PortHandle, errors, Comm.PortStatus);
    return static_cast<uint16_t>(Comm.PortStatus.cbOutQue);
}

bool ReadByte(uint8_t& b) {
    if (InQueue() == 0)
        return false;
    uint32_t read = 0;
    if (!Comm.OverlappedMode) {
        Driver().ReadFile(Comm.PortHandle, &b, 1, read, nullptr);
        return read == 1;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = Driver().CreateEvent();
    Driver().ReadFile(Comm.PortHandle, &b, 1, read, &overlapped);
    Driver().CloseHandle(overlapped.hEvent);
    return read == 1;
}

bool WriteData(const std::string& bytes) {
    if (Comm.OverlappedMode && PendingWriteBusy())
        return true;
    int32_t freeRoom = static_cast<int32_t>(Comm.TxQueueSize) - static_cast<int32_t>(OutQueue());
    if (freeRoom < static_cast<int64_t>(bytes.size()))
        return true;
    if (Comm.OverlappedMode)
        WriteOverlapped(bytes);
    else
        WriteSynchronous(bytes);
    return false;
}

void WaitForInput(int milliseconds) {
    Driver().WaitForInput(Comm.PortHandle, milliseconds);
}

int InputDescriptor() {
    return Driver().InputDescriptor(Comm.PortHandle);
}

} // namespace ob
