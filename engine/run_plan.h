// What the identification decided for the programming run: how many image
// bytes to send, in blocks of what size, and where the head block goes.
// Process-wide, filled by IdentifyDevice, read by RunProgramming.
#pragma once

#include <cstdint>

namespace vorlan {

struct RunPlan {
    std::int32_t sendLength = 0;    // program image bytes to send, from byte 0
    std::int32_t blockSize = 64;    // data bytes per block frame
    std::int32_t programLimit = 0;  // address of the head block
    std::uint32_t skipStart = 0;    // 0: no skip window
    std::uint32_t skipLength = 0;
};

// true when the program block that ends just before address `after` (in
// address units) lies in the board's skip window; both ends belong to it.
bool InSkipWindow(const RunPlan& plan, std::int32_t after);

RunPlan& CurrentRunPlan();
void ResetRunPlan();  // back to the state at program start

}  // namespace vorlan
