#include "protocol/command_exchange.h"

#include "core/run_state.h"
#include "core/wizard_view.h"
#include "protocol/frame_codec.h"

#include <chrono>
#include <optional>
#include <string>

namespace ob {

namespace {

using namespace std::chrono_literals;

constexpr auto TickLength = 10ms;

void AdvanceSeqNo(bool highBit) {
    Exchange.SeqNo = (Exchange.SeqNo + 1) & 0x7F;
    if (highBit)
        Exchange.SeqNo |= 0x80;
}

std::string RequestPayload(uint8_t code, std::string_view data) {
    std::string payload{char(uint8_t(Exchange.SeqNo)), char(code)};
    payload.append(data);
    return payload;
}

bool EchoesSeqNo(const std::string& reply) {
    return (uint8_t(reply[0]) & 0x7F) == (Exchange.SeqNo & 0x7F);
}

// A valid frame is at least two bytes long, so the echo and the status are always there.
uint8_t TakeStatus() {
    uint8_t status = uint8_t(Codec.Reply[1]);
    Codec.Reply.erase(0, 2);
    return status;
}

std::optional<uint8_t> PollingPass() {
    Window().processEvents();
    if (ReceiveFrame() && EchoesSeqNo(Codec.Reply))
        return TakeStatus();
    Window().waitForInput(TickLength);
    return std::nullopt;
}

void CountTicksSince(std::chrono::milliseconds sentAt) {
    Exchange.WaitTicks = int((Window().monotonic() - sentAt) / TickLength);
}

} // namespace

uint8_t SendCommand(uint8_t code, std::string_view data, bool highBit, int attempts,
                    int waitLimit) {
    AdvanceSeqNo(highBit);
    Codec.Reply.clear();
    for (; Run.KeepRunning && attempts > 0; --attempts) {
        SendFrame(RequestPayload(code, data));
        auto sentAt = Window().monotonic();
        Exchange.WaitTicks = 0;
        do {
            if (auto status = PollingPass())
                return *status;
            CountTicksSince(sentAt);
        } while (Run.KeepRunning && Exchange.WaitTicks <= waitLimit);
    }
    return NoReply;
}

} // namespace ob
