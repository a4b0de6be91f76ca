#include "protocol/update_procedure.h"

#include "comm32/comm32.h"
#include "core/run_state.h"
#include "core/switches.h"
#include "core/wizard_view.h"
#include "firmware/image_loader.h"
#include "protocol/command_exchange.h"
#include "protocol/commands.h"
#include "protocol/frame_codec.h"
#include "protocol/number_text.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace ob {

namespace {

constexpr std::size_t ComparedIdLength = 7;
constexpr int FullPercent = 100;

const std::string StarLine = std::string(56, '*') + ".";
const std::string DashLine = std::string(55, '-') + ".";

enum class Next { Program, ProblemReport, End };

struct Version {
    int major = 0;
    int minor = 0;
};

std::string VersionText(Version v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor);
}

uint8_t Send(uint8_t code, std::string_view data, bool highBit, CommandLimits limits) {
    return SendCommand(code, data, highBit, limits.attempts, limits.waitLimit);
}

uint8_t Query(uint8_t code) {
    return Send(code, "", false, UpdateQueryLimits);
}

uint8_t RunTargetApplication() {
    return Send(CmdRunApp, "", false, RunAppLimits);
}

// After a successful command Reply holds the reply data and then the frame's checksum byte.
std::string_view ReplyData() {
    std::string_view reply = Codec.Reply;
    return reply.substr(0, reply.empty() ? 0 : reply.size() - 1);
}

uint8_t DataByte(std::string_view data, std::size_t index) {
    return index < data.size() ? uint8_t(data[index]) : 0;
}

bool GreetBootLoader() {
    if (Query(CmdIdentify) != 0) {
        Trace("-- remote boot loader monitor not responding.");
        return false;
    }
    std::string_view data = ReplyData();
    Version boot{DataByte(data, 1), DataByte(data, 0)}; // minor first on the wire
    Trace("KELNO Boot loader v." + VersionText(boot) + " ready..");
    Window().setCaption(Control::lBootVer,
                        "Found resident boot loader v." + VersionText(boot) + ".");
    return true;
}

std::optional<std::string> QueryResidentId() {
    if (Query(CmdGetAppId) != 0)
        return std::nullopt;
    std::string_view data = ReplyData();
    return std::string(data.substr(0, data.find('\0')));
}

void RefuseWrongHardware() {
    Trace("-- error: remote application has ID=\"" + Update.TargetAppId + "\".");
    Trace("-- This firmware has ID \"" + Firmware.FwProgId + "\".");
    Trace("-- This firmware is not suitable for your hardware.");
    Window().setCaption(Control::lResult, "This firmware is not suitable for your hardware.");
    RunTargetApplication();
}

// False when the resident firmware is meant for other hardware.
bool AcceptIdentifier(const std::string& residentId) {
    if (Run.OldBoot)
        Trace("Boot reporting itself as v1.2 - adjusted.");
    Update.TargetAppId = residentId.substr(0, ComparedIdLength);
    Firmware.FwProgId = Firmware.FwProgId.substr(0, ComparedIdLength);
    Trace("Resident firmware has ID=\"" + Update.TargetAppId + "\".");
    if (Update.TargetAppId == Firmware.FwProgId)
        return true;
    RefuseWrongHardware();
    return false;
}

// A reply too short to hold both version bytes tells no version.
std::optional<Version> QueryResidentVersion() {
    if (Query(CmdGetAppVersion) != 0 || ReplyData().size() < 2)
        return std::nullopt;
    std::string_view data = ReplyData();
    return Version{DataByte(data, 1), DataByte(data, 0)};
}

void RefuseAlreadyUpdated() {
    Trace("-- error: target application is same or more recent.");
    Window().setCaption(Control::lResult, "Your OB is already updated.");
    RunTargetApplication();
}

Next CheckResidentVersion() {
    std::optional<Version> resident = QueryResidentVersion();
    if (!resident) {
        Trace("Unknown firmware version in target.");
        return Next::Program;
    }
    Update.TargetVersion = uint16_t(resident->major * 256 + resident->minor);
    Window().setCaption(Control::lResappID,
                        "Resident firmware version is " + VersionText(*resident) + ".");
    Trace("Resident firmware has version " + VersionText(*resident) + ".");
    if (Update.TargetVersion < Firmware.FwVersion)
        return Next::Program;
    if (ForceSwitch()) {
        Trace("-- warning: target application is same or more recent.");
        return Next::Program;
    }
    RefuseAlreadyUpdated();
    return Next::End;
}

Next IdentifyTarget() {
    Window().selectPage(Page::Download);
    Window().setVisible(Control::pnLeds, true);
    Run.KeepRunning = true;
    Trace(".");
    Trace("$Entering remote KELNO flash loader.");
    Update.TargetAppId.clear();
    Update.TargetVersion = 0;
    if (!GreetBootLoader())
        return Next::ProblemReport;
    std::optional<std::string> residentId = QueryResidentId();
    if (!residentId) {
        Trace("No firmware resident in the target.");
        return Next::Program;
    }
    if (!AcceptIdentifier(*residentId))
        return Next::End;
    return CheckResidentVersion();
}

bool EraseOnce(int block) {
    if (Update.BlockErased[block])
        return true;
    Trace(EraseRangeText(block));
    uint8_t status = Send(CmdEraseBlock, std::string(1, char(block)), true, EraseBlockLimits);
    if (status != 0) {
        Trace("ERROR " + std::to_string(status) + " while erasing flash block #" +
              std::to_string(block) + ". Cannot continue.");
        return false;
    }
    Update.BlockErased[block] = true;
    Window().processEvents();
    return true;
}

// A chunk that begins in the top block (0) needs no erase; otherwise the blocks of its
// first and its last byte.
bool EraseBlocksOf(const ImageChunk& chunk) {
    uint32_t first = uint32_t(chunk.Address);
    int firstBlock = FindBlock(first);
    if (firstBlock == 0)
        return true;
    return EraseOnce(firstBlock) && EraseOnce(FindBlock(first + chunk.Length - 1));
}

// The width follows the bytes handled, uncapped: chunks with gaps pass the panel's edge.
void ShowProgress(int32_t bytesHandled) {
    int64_t percent =
        std::min<int64_t>(int64_t(bytesHandled) * 100 / Firmware.ImageBytes, FullPercent);
    Window().setCaption(Control::lProgress, "working... " + std::to_string(percent) + "%  ");
    int64_t width =
        int64_t(Window().width(Control::pnProgress)) * bytesHandled / Firmware.ImageBytes;
    Window().setWidth(Control::lProgress, int(width));
}

bool WriteChunk(const ImageChunk& chunk) {
    std::string_view bytes(reinterpret_cast<const char*>(chunk.Data.data()), chunk.Length);
    uint8_t status = Send(CmdWriteFlash, WriteFlashRequest(uint32_t(chunk.Address), bytes), true,
                          WriteFlashLimits);
    if (status != 0) {
        Trace("$ERROR " + std::to_string(status) + " while writing flash at address " +
              HexText(uint32_t(chunk.Address), 5) + ".");
        return false;
    }
    Window().processEvents();
    return true;
}

// False when programming stopped part way: the target is then left unusable.
bool ProgramImage() {
    Update.BlockErased.fill(false);
    Window().setVisible(Control::pnWarning, false);
    Window().setVisible(Control::pnProgress, true);
    Window().setWidth(Control::lProgress, 0);
    int32_t bytesHandled = 0;
    for (const ImageChunk& chunk : Firmware.FlashImage) {
        if (chunk.Address == -1)
            return true;
        if (LogSwitch())
            Trace("Transmitting " + HexText(chunk.Length, 2, 2) + " bytes at " +
                  HexText(uint32_t(chunk.Address), 5, 5) + ".");
        if (!Run.KeepRunning) {
            Trace("$-- Interrupted by user.");
            return false;
        }
        if (!EraseBlocksOf(chunk))
            return false;
        bytesHandled += chunk.Length;
        ShowProgress(bytesHandled);
        if (!WriteChunk(chunk))
            return false;
    }
    return true;
}

void ReportSuccess() {
    Trace(DashLine);
    Trace("$Firmware upgrade was successful.");
    Window().setCaption(Control::lResult, "Firmware upgrade successful.");
    Run.KeepRunning = true;
    Trace(RunTargetApplication() == 0 ? "Running target application."
                                      : "Error while launching application.");
    Window().setVisible(Control::pnLeds, false);
}

void CriticalReport() {
    Trace("-- The procedure has been interrupted in a critic phase.");
    Trace(StarLine);
    Trace("-- The target is UNUSABLE, or even DANGEROUS.");
    Trace(StarLine);
    Trace("-- It is strongly adviced to retry.");
    Window().setVisible(Control::pnWarning, true);
    Window().showMessage("Process interrupted. Target will be unusable.", "KELNO Flash loader");
}

void ProblemReport() {
    Trace(StarLine);
    Trace("$ -- sorry, there was a problem.");
    Trace(StarLine);
    Trace("Please copy this text and send it to Orbeline support.");
}

void EndOnFinishedPage() {
    Window().selectPage(Page::Finished);
    Window().setVisible(Control::pnProgress, false);
    ClosePort();
    Window().setLamp(Lamp::RX, false);
    Window().setLamp(Lamp::TX, false);
}

} // namespace

void btStartClick() {
    switch (IdentifyTarget()) {
    case Next::Program:
        if (ProgramImage()) {
            ReportSuccess();
        } else {
            CriticalReport();
            ProblemReport();
        }
        break;
    case Next::ProblemReport:
        ProblemReport();
        break;
    case Next::End:
        break;
    }
    EndOnFinishedPage();
}

} // namespace ob
