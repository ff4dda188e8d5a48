// vorlan-board: a board with a boot loader, served on a pseudo-terminal that
// the updater finds as COM<N>. Exit status: 0 when stopped by SIGINT or
// SIGTERM, 1 when the line cannot be set up or fails, 2 for a bad command
// line, 3 after dropping the line on purpose (--hangup).
#include <signal.h>

#include <exception>
#include <iostream>

#include "platform/com_naming.h"
#include "tools/board/alias_link.h"
#include "tools/board/board_options.h"
#include "tools/board/board_server.h"
#include "tools/board/boot_loader_model.h"
#include "tools/board/pty_line.h"

namespace {

constexpr int kLastAnswerWaitMs = 1000;

volatile sig_atomic_t gSignalled = 0;

void OnSignal(int) {
    gSignalled = 1;
}

// Blocks the stop signals outside the server's wait, so one can arrive only
// while it waits; returns the mask to wait with.
sigset_t CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGHUP);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &stops, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGHUP);
    return waitMask;
}

int Serve(int argc, char** argv) {
    using namespace vorlan::board;
    const auto parsed = ParseEmulatorOptions(argc, argv);
    if (std::holds_alternative<HelpRequested>(parsed)) {
        std::cout << EmulatorUsage();
        return 0;
    }
    if (std::holds_alternative<VersionRequested>(parsed)) {
        std::cout << "vorlan-board " VORLAN_PROJECT_VERSION "\n";
        return 0;
    }
    if (const auto* error = std::get_if<OptionError>(&parsed)) {
        std::cerr << "vorlan-board: " << error->message << "\nTry 'vorlan-board --help'.\n";
        return 2;
    }
    const EmulatorOptions& options = std::get<EmulatorOptions>(parsed);
    const sigset_t waitMask = CatchStopSignals();

    std::string error;
    PtyLine line;
    if (!line.Open(error)) {
        std::cerr << "vorlan-board: " << error << std::endl;
        return 1;
    }
    const std::string folder = vorlan::PortAliasFolder();
    const int com = options.comNumber > 0 ? options.comNumber : AliasLink::FirstFreeNumber(folder);
    AliasLink link;
    if (com <= 0 || !link.Create(folder, com, line.SlavePath(), options.replaceLink, error)) {
        std::cerr << "vorlan-board: " << (com <= 0 ? "no free COM number in " + folder : error)
                  << std::endl;
        return 1;
    }
    std::cout << "vorlan-board: serving COM" << com << " on " << line.SlavePath() << std::endl;

    BootLoaderModel model(options.board, options.faults);
    BoardServer server(model, line.MasterFd(),
                       {options.lineRate, options.writeMs, options.latencyMs}, options.dumpFile,
                       std::cout);
    const BoardServer::End end = server.Run(waitMask, gSignalled);
    // Drop the line first, once the updater has had the last answer: it then
    // sees the hang-up at once.
    if (end == BoardServer::End::HangUp)
        line.WaitUntilRead(kLastAnswerWaitMs);
    line.Close();
    link.Remove();
    server.WriteDump();
    switch (end) {
        case BoardServer::End::Signal:
            std::cout << "vorlan-board: stopped" << std::endl;
            return 0;  // a failed dump has been reported above
        case BoardServer::End::HangUp:
            return 3;
        case BoardServer::End::LineError:
            return 1;
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Serve(argc, argv);
    } catch (const std::exception& error) {
        // Only running out of memory gets here; say so instead of aborting.
        std::cerr << "vorlan-board: " << error.what() << std::endl;
        return 1;
    }
}
