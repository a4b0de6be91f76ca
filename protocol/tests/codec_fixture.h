#pragma once
// A fresh run state, a recording window on the fake clock and a pty line for every test.

#include "core/run_state.h"
#include "protocol/command_exchange.h"
#include "protocol/frame_codec.h"
#include "pty_line.h"
#include "tests/support/recording_view.h"

#include <gtest/gtest.h>

namespace ob::testing {

class CodecFixture : public ::testing::Test {
protected:
    CodecFixture() {
        ob::Run = {};
        Codec = {};
        Exchange = {};
    }

    RecordingView view;
    PtyLine line;
};

} // namespace ob::testing
