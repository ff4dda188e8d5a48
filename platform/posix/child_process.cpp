#include "platform/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

extern char** environ;

namespace vorlan {

namespace {

// A pipe whose ends this process closes on exec, so that one child never
// holds another child's pipe open (its reader would then wait forever).
struct Pipe {
    int read = -1;
    int write = -1;
};

bool OpenPipe(Pipe& pipe, std::string& error) {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    pipe.read = ends[0];
    pipe.write = ends[1];
    return true;
}

void CloseEnd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

class PosixChildProcess final : public ChildProcess {
public:
    PosixChildProcess(pid_t pid, int output, int errors)
        : pid_(pid), output_(output), errors_(errors) {}

    ~PosixChildProcess() override {
        if (!ended_) {
            ::kill(pid_, SIGKILL);
            WaitForEnd();
        }
        CloseEnd(output_);
        CloseEnd(errors_);
    }

    std::size_t ReadBlocking(ChildStream stream, char* buffer, std::size_t capacity) override {
        const int fd = stream == ChildStream::kOutput ? output_ : errors_;
        for (;;) {
            const ssize_t count = ::read(fd, buffer, capacity);
            if (count >= 0)
                return static_cast<std::size_t>(count);
            // Ctrl-C lands on any thread of the process; the read goes on.
            if (errno != EINTR)
                return 0;
        }
    }

    void Interrupt() override {
        if (!ended_)
            ::kill(pid_, SIGINT);
    }

    int WaitForEnd() override {
        if (ended_)
            return status_;
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0) {
            if (errno != EINTR) {
                status = 0;
                break;
            }
        }
        ended_ = true;
        status_ = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
        return status_;
    }

private:
    pid_t pid_;
    int output_;
    int errors_;
    bool ended_ = false;
    int status_ = 0;
};

}  // namespace

std::unique_ptr<ChildProcess> StartChildProcess(const std::string& program,
                                                const std::vector<std::string>& arguments,
                                                std::string& error) {
    Pipe output;
    Pipe errors;
    if (!OpenPipe(output, error))
        return nullptr;
    if (!OpenPipe(errors, error)) {
        CloseEnd(output.read);
        CloseEnd(output.write);
        return nullptr;
    }
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // dup2 clears close-on-exec on the copies the child keeps.
    posix_spawn_file_actions_adddup2(&actions, output.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors.write, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    const int result =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    CloseEnd(output.write);
    CloseEnd(errors.write);
    if (result != 0) {
        error = program + ": " + std::strerror(result);
        CloseEnd(output.read);
        CloseEnd(errors.read);
        return nullptr;
    }
    return std::make_unique<PosixChildProcess>(pid, output.read, errors.read);
}

std::string OwnProgramPath() {
    std::array<char, 4096> path{};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return {};
    return std::string(path.data(), static_cast<std::size_t>(length));
}

}  // namespace vorlan
