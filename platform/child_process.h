// Child processes: a program started with its own arguments, its standard
// output and standard error read by this process through two pipes, its end
// waited for. vorlan-flash starts itself once per port this way, because the
// engine holds one run per process.
//
// The child's standard input is the null device; it inherits the
// environment and stays in this process's process group (on Windows: on this
// console), so the terminal's interrupt key reaches it directly. Nothing else
// of this process is inherited (no other handles, no other child's pipes).
// On Windows the children end with this process, however it ends (a job
// object); on Linux a child asks for that itself (StopWhenParentEnds).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vorlan {

enum class ChildStream { kOutput, kErrors };

class ChildProcess {
public:
    // A child not waited for is ended (killed) and waited for here. Every
    // ReadBlocking must have returned before.
    virtual ~ChildProcess() = default;

    // Blocks until bytes arrive on the stream and puts up to capacity of them
    // into buffer; 0 once the stream has ended (the child closed it or ended).
    // Each stream may be read on its own thread, concurrently with the
    // owner's other calls.
    virtual std::size_t ReadBlocking(ChildStream stream, char* buffer, std::size_t capacity) = 0;

    // Passes an interrupt (Ctrl-C) on to a child still running: for an
    // interrupt that was sent to this process alone. (A Windows console
    // delivers every Ctrl-C to all its processes, so there it may do nothing.)
    virtual void Interrupt() = 0;

    // Blocks until the child ends; its exit status, or 128 + the signal
    // number that ended it. Call once; Interrupt does nothing afterwards.
    virtual int WaitForEnd() = 0;
};

// Starts program (a path, not looked up in PATH) with arguments as its
// argv[1]...; null on failure, with the OS's word in error.
std::unique_ptr<ChildProcess> StartChildProcess(const std::string& program,
                                                const std::vector<std::string>& arguments,
                                                std::string& error);

// The path of this program's own executable, to start it again; empty when
// the system cannot say.
std::string OwnProgramPath();

}  // namespace vorlan
