#include "sim/obsim_args.h"

#include <charconv>
#include <functional>
#include <map>

namespace ob::sim {

namespace {

struct ArgError {
    std::string Reason;
};

// Decimal, or hexadecimal after "0x".
long Number(const std::string& text, long low, long high) {
    bool hex = text.rfind("0x", 0) == 0;
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    long value = 0;
    auto [end, failure] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || failure != std::errc{} || end != last || value < low || value > high)
        throw ArgError{"\"" + text + "\" is not a number from " + std::to_string(low) + " to " +
                       std::to_string(high)};
    return value;
}

double Rate(const std::string& text) {
    try {
        size_t used = 0;
        double value = std::stod(text, &used);
        if (used == text.size() && value >= 0 && value <= 1)
            return value;
    } catch (const std::exception&) {
    }
    throw ArgError{"\"" + text + "\" is not a rate from 0 to 1"};
}

// "1.37" is 1 * 256 + 37.
uint16_t Version(const std::string& text) {
    size_t point = text.find('.');
    if (point == std::string::npos)
        throw ArgError{"\"" + text + "\" is not a version major.minor"};
    return static_cast<uint16_t>(Number(text.substr(0, point), 0, 255) * 256 +
                                 Number(text.substr(point + 1), 0, 255));
}

// "N" or "N:VALUE".
std::pair<std::string, std::string> SplitColon(const std::string& text) {
    size_t colon = text.find(':');
    if (colon == std::string::npos)
        return {text, ""};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

template <typename Enum>
Enum Choice(const std::string& text, const std::map<std::string, Enum>& choices) {
    auto found = choices.find(text);
    if (found == choices.end())
        throw ArgError{"\"" + text + "\" is not one of the choices"};
    return found->second;
}

using Handler = std::function<void(ObsimCommandLine&, const std::string&)>;

struct OptionRule {
    bool TakesValue;
    Handler Apply;
};

const std::map<std::string, OptionRule>& OptionRules() {
    static const std::map<std::string, OptionRule> rules = {
        {"--link", {true, [](auto& c, auto& v) { c.Options.LinkPath = v; }}},
        {"--unpaced", {false, [](auto& c, auto&) { c.Options.Paced = false; }}},
        {"--baud", {true, [](auto& c, auto& v) { c.Options.Baud = Number(v, 50, 4000000); }}},
        {"--start",
         {true,
          [](auto& c, auto& v) {
              c.Options.Start = Choice<StartState>(v, {{"app", StartState::Application},
                                                       {"off", StartState::Off},
                                                       {"boot", StartState::BootLoader}});
          }}},
        {"--boot",
         {true,
          [](auto& c, auto& v) {
              c.Options.Boot = Choice<BootAge>(v, {{"old", BootAge::Old}, {"new", BootAge::New}});
          }}},
        {"--boot-version", {true, [](auto& c, auto& v) { c.Options.BootVersion = Version(v); }}},
        {"--app-version", {true, [](auto& c, auto& v) { c.Options.AppVersion = Version(v); }}},
        {"--new-version", {true, [](auto& c, auto& v) { c.Options.NewAppVersion = Version(v); }}},
        {"--id", {true, [](auto& c, auto& v) { c.Options.Identifier = v; }}},
        {"--no-app", {false, [](auto& c, auto&) { c.Options.HasApplication = false; }}},
        {"--contact-byte",
         {true, [](auto& c, auto& v) { c.Options.ContactByte = Number(v, 0, 255); }}},
        {"--announce-ms",
         {true, [](auto& c, auto& v) { c.Options.AnnounceMs = Number(v, 200, 600000); }}},
        {"--cycle-off-ms",
         {true, [](auto& c, auto& v) { c.Options.CycleOffMs = Number(v, 0, 600000); }}},
        {"--release", {true, [](auto& c, auto& v) { c.Options.ReleasePath = v; }}},
        {"--no-announce", {false, [](auto& c, auto&) { c.Options.NoAnnouncement = true; }}},
        {"--silent-after",
         {true, [](auto& c, auto& v) { c.Options.SilentAfter = Number(v, 0, 1000000); }}},
        {"--fail-erase",
         {true,
          [](auto& c, auto& v) {
              auto [at, status] = SplitColon(v);
              c.Options.FailEraseAt = Number(at, 1, 1000000);
              if (!status.empty())
                  c.Options.FailEraseStatus = Number(status, 1, 255);
          }}},
        {"--fail-write",
         {true,
          [](auto& c, auto& v) {
              auto [at, status] = SplitColon(v);
              c.Options.FailWriteAt = Number(at, 1, 1000000);
              if (!status.empty())
                  c.Options.FailWriteStatus = Number(status, 1, 255);
          }}},
        {"--drop", {true, [](auto& c, auto& v) { c.Options.DropRate = Rate(v); }}},
        {"--corrupt", {true, [](auto& c, auto& v) { c.Options.CorruptRate = Rate(v); }}},
        {"--seed",
         {true, [](auto& c, auto& v) { c.Options.FaultSeed = Number(v, 0, 0xFFFFFFFFL); }}},
        {"--line-loss",
         {true,
          [](auto& c, auto& v) {
              auto [at, pause] = SplitColon(v);
              c.Options.LineLossAtWrite = Number(at, 1, 1000000);
              if (pause == "forever")
                  c.Options.LineLossMs = ForGood;
              else if (!pause.empty())
                  c.Options.LineLossMs = Number(pause, 0, 3600000);
          }}},
        {"--garbage",
         {true,
          [](auto& c, auto& v) {
              c.Options.Garbage = Choice<GarbageMode>(
                  v, {{"app", GarbageMode::WithApplication}, {"only", GarbageMode::Only}});
          }}},
        {"--auto-cycle", {false, [](auto& c, auto&) { c.Options.AutoCycle = true; }}},
        {"--auto-cycle-quiet-ms",
         {true, [](auto& c, auto& v) { c.Options.AutoCycleQuietMs = Number(v, 0, 600000); }}},
        {"--json", {true, [](auto& c, auto& v) { c.JsonPath = v; }}},
        {"--help", {false, [](auto& c, auto&) { c.Help = true; }}},
    };
    return rules;
}

} // namespace

std::optional<ObsimCommandLine> ParseObsimArgs(const std::vector<std::string>& args,
                                               std::string* error) {
    ObsimCommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") {
            line.Command.assign(args.begin() + i + 1, args.end());
            if (line.Command.empty()) {
                *error = "nothing to run after --";
                return std::nullopt;
            }
            break;
        }
        auto rule = OptionRules().find(args[i]);
        if (rule == OptionRules().end()) {
            *error = "unknown option " + args[i];
            return std::nullopt;
        }
        std::string value;
        if (rule->second.TakesValue) {
            if (i + 1 >= args.size()) {
                *error = args[i] + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        try {
            rule->second.Apply(line, value);
        } catch (const ArgError& failure) {
            *error = args[i - (rule->second.TakesValue ? 1 : 0)] + ": " + failure.Reason;
            return std::nullopt;
        }
    }
    return line;
}

std::string ObsimUsage() {
    return R"(usage: obsim [options] [-- COMMAND ARGS...]
A simulated controller on a pseudo-terminal. With a COMMAND, runs it with
OBFLASH_PORTS=COM1=<link> and ends when it ends, with its exit status.
Standard input: "p" power-cycles, "on" and "off" switch the power, "q" quits.

The line and the controller:
  --link PATH          symlink naming the pty (default /tmp/obsim0)
  --unpaced            no line or target timing (fast tests)
  --baud N             line speed for pacing and the perfect-host time (19200)
  --start app|off|boot application running (default), power off, or just powered up
  --boot old|new       boot loader before 1.2 or 1.2 and newer (default new)
  --boot-version X.Y   boot loader version (default 1.1 old, 1.5 new)
  --app-version X.Y    resident application version (default 1.30)
  --new-version X.Y    version after a whole update (default the release's, or 1.37)
  --id TEXT            resident identifier (default CTRLORBEL)
  --no-app             no application: identifier and version commands fail
  --contact-byte N     the contact byte the bursts carry (default 44 old, 9 new)
  --announce-ms N      how long the boot loader announces before it starts the
                       application (default 3000)
  --cycle-off-ms N     power-off time of a power cycle (default 500)
  --release FILE       release file whose image the flash is compared with
  --auto-cycle         power-cycle about 3 s after answering a probe once the line
                       is quiet, as a user would
  --auto-cycle-quiet-ms N  that quiet time (default 3000)
  --json FILE          write the summary as JSON

Faults:
  --no-announce        the boot loader never announces
  --silent-after N     answer N commands after contact, then nothing (0: ignores contact)
  --fail-erase N[:S]   the N-th erase fails with status S (default 3; 255 allowed)
  --fail-write N[:S]   the N-th write fails with status S
  --drop RATE          share of command-mode bytes lost, each way (0 to 1)
  --corrupt RATE       share of command-mode bytes with a bit flipped, each way
  --seed N             seed of drops, corruption and noise (default 1)
  --line-loss N[:MS]   the line goes away when the N-th write arrives, for MS ms
                       (default 2000; "forever": unplugged for good)
  --garbage app|only   the application sprays noise between its replies, or the
                       device streams noise and nothing else
)";
}

} // namespace ob::sim
