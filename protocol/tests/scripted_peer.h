#pragma once
// A raw peer on the far end of a PtyLine, on a thread of its own: it plays announcement
// bursts with real gaps, collects what the program sends and answers with given bytes.

#include "pty_line.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace ob::testing {

struct PeerStep {
    enum Kind { Burst, Hear, Answer } kind;
    std::string bytes;     // Burst and Answer: what the peer writes
    std::size_t count = 0; // Hear: how many bytes the program is to send
};

PeerStep BurstOf(std::string_view hex);
PeerStep Hear(std::size_t count);
PeerStep AnswerWith(std::string bytes);

class ScriptedPeer {
public:
    // Starts once `hostListening` is set, so the program's drain cannot swallow the bursts.
    ScriptedPeer(PtyLine& line, std::vector<PeerStep> script,
                 const std::atomic<bool>& hostListening);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    bool Finished() const { return finished; }
    // All that the program sent during Hear steps; call once Finished.
    const std::string& Heard() const { return heard; }

private:
    void Play(const std::atomic<bool>& hostListening);

    PtyLine& line;
    std::vector<PeerStep> script;
    std::string heard;
    std::atomic<bool> finished = false;
    std::thread player;
};

} // namespace ob::testing
