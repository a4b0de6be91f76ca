#include "sim/session_summary.h"

#include <cstdio>

namespace ob::sim {

std::string OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::NeverContacted:
        return "never contacted";
    case Outcome::LeftInBootLoader:
        return "left in boot loader";
    case Outcome::RanOldApplication:
        return "ran old application";
    case Outcome::Updated:
        return "updated";
    }
    return "unknown";
}

void SessionMeter::Request(Clock::time_point firstByte, size_t wireBytes, bool repeat) {
    if (times_.Ended)
        return;
    if (!times_.Started) {
        times_.Started = true;
        start_ = firstByte;
    }
    ++times_.Commands;
    times_.BytesFromHost += wireBytes;
    if (!repeat)
        times_.WireTime += wireBytes * byteTime_;
}

void SessionMeter::Reply(Clock::time_point lastByteDue, size_t wireBytes,
                         std::chrono::nanoseconds targetTime, bool repeat, bool runsApplication) {
    if (times_.Ended || !times_.Started)
        return;
    times_.BytesToHost += wireBytes;
    if (!repeat) {
        times_.WireTime += wireBytes * byteTime_;
        times_.TargetTime += targetTime;
    }
    times_.Elapsed = lastByteDue - start_;
    times_.Ended = runsApplication;
}

static double Milliseconds(std::chrono::nanoseconds time) {
    return time.count() / 1e6;
}

static std::string Format(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

static std::string StatusText(const CommandRecord& command) {
    return command.Status ? std::to_string(*command.Status) : "none";
}

static std::string MatchText(std::optional<bool> matches, const char* none) {
    return matches ? (*matches ? "true" : "false") : none;
}

std::string SummaryText(const SessionSummary& summary) {
    std::string text = "obsim summary\n  commands (code/seq/status):";
    for (const CommandRecord& command : summary.Commands)
        text += Format(" %d/%02X/%s%s", command.Code, command.Seq, StatusText(command).c_str(),
                       command.Repeat ? "(repeat)" : "");
    text += "\n  outcome: " + OutcomeName(summary.Result);
    text +=
        "\n  flash holds the release: " + MatchText(summary.FlashMatchesRelease, "not compared");
    text +=
        Format("\n  bytes: %llu from host, %llu to host", (unsigned long long)summary.BytesFromHost,
               (unsigned long long)summary.BytesToHost);
    const SessionTimes& session = summary.Session;
    if (session.Started) {
        text += Format("\n  session: %.3f ms%s, perfect host %.3f ms (wire %.3f + target %.3f)",
                       Milliseconds(session.Elapsed), session.Ended ? "" : " (no run-application)",
                       Milliseconds(session.PerfectHost()), Milliseconds(session.WireTime),
                       Milliseconds(session.TargetTime));
        if (session.PerfectHost().count() > 0)
            text += Format(", ratio %.4f",
                           double(session.Elapsed.count()) / double(session.PerfectHost().count()));
    }
    text += Format("\n  total: %.3f ms, line %d baud%s\n", Milliseconds(summary.TotalTime),
                   summary.Baud, summary.Paced ? "" : " (unpaced)");
    return text;
}

std::string SummaryJson(const SessionSummary& summary) {
    std::string json = "{\n  \"commands\": [";
    for (size_t i = 0; i < summary.Commands.size(); ++i) {
        const CommandRecord& command = summary.Commands[i];
        json += Format("%s\n    {\"code\": %d, \"seq\": %d, \"status\": %s, \"repeat\": %s}",
                       i ? "," : "", command.Code, command.Seq,
                       command.Status ? std::to_string(*command.Status).c_str() : "null",
                       command.Repeat ? "true" : "false");
    }
    json += summary.Commands.empty() ? "],\n" : "\n  ],\n";
    json += "  \"outcome\": \"" + OutcomeName(summary.Result) + "\",\n";
    json +=
        "  \"flash_matches_release\": " + MatchText(summary.FlashMatchesRelease, "null") + ",\n";
    json +=
        Format("  \"bytes_from_host\": %llu,\n  \"bytes_to_host\": %llu,\n",
               (unsigned long long)summary.BytesFromHost, (unsigned long long)summary.BytesToHost);
    const SessionTimes& session = summary.Session;
    json += Format("  \"session\": {\"started\": %s, \"ended\": %s, \"commands\": %d, "
                   "\"bytes_from_host\": %llu, \"bytes_to_host\": %llu, \"session_ms\": %.3f, "
                   "\"perfect_host_ms\": %.3f, \"wire_ms\": %.3f, \"target_ms\": %.3f},\n",
                   session.Started ? "true" : "false", session.Ended ? "true" : "false",
                   session.Commands, (unsigned long long)session.BytesFromHost,
                   (unsigned long long)session.BytesToHost, Milliseconds(session.Elapsed),
                   Milliseconds(session.PerfectHost()), Milliseconds(session.WireTime),
                   Milliseconds(session.TargetTime));
    json += Format("  \"total_ms\": %.3f,\n  \"paced\": %s,\n  \"baud\": %d\n}\n",
                   Milliseconds(summary.TotalTime), summary.Paced ? "true" : "false", summary.Baud);
    return json;
}

} // namespace ob::sim
