#include "platform/child_process.h"

#include <windows.h>

#include <array>

namespace vorlan {

namespace {

// One job for this process's children, closed (and they ended) by the system
// when this process ends, however it ends. Null when it cannot be made.
HANDLE ChildrenJob() {
    static const HANDLE job = [] {
        HANDLE made = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (made != nullptr &&
            !SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits,
                                     sizeof limits)) {
            CloseHandle(made);
            made = nullptr;
        }
        return made;
    }();
    return job;
}

std::wstring Widened(const std::string& text) {
    if (text.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Narrowed(const std::wstring& text) {
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                        length, nullptr, nullptr);
    return narrow;
}

std::string SystemText(DWORD error) {
    std::array<char, 512> text{};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string message(text.data(), length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

// One argument as the child's C runtime splits the command line again:
// quotes around it, backslashes doubled where a quote follows them.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

void CloseIfOpen(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = nullptr;
}

class Win32ChildProcess final : public ChildProcess {
public:
    Win32ChildProcess(HANDLE process, HANDLE output, HANDLE errors)
        : process_(process), output_(output), errors_(errors) {}

    ~Win32ChildProcess() override {
        if (!ended_) {
            TerminateProcess(process_, 1);
            WaitForEnd();
        }
        CloseIfOpen(process_);
        CloseIfOpen(output_);
        CloseIfOpen(errors_);
    }

    std::size_t ReadBlocking(ChildStream stream, char* buffer, std::size_t capacity) override {
        DWORD count = 0;
        const HANDLE pipe = stream == ChildStream::kOutput ? output_ : errors_;
        // A pipe whose writer has gone reports ERROR_BROKEN_PIPE: its end.
        if (!ReadFile(pipe, buffer, static_cast<DWORD>(capacity), &count, nullptr))
            return 0;
        return count;
    }

    // Every Ctrl-C of the console reaches all processes attached to it, the
    // child included, and nothing else sends one to this process alone.
    void Interrupt() override {}

    int WaitForEnd() override {
        if (ended_)
            return status_;
        WaitForSingleObject(process_, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process_, &code);
        ended_ = true;
        status_ = static_cast<int>(code);
        return status_;
    }

private:
    HANDLE process_;
    HANDLE output_;
    HANDLE errors_;
    bool ended_ = false;
    int status_ = 0;
};

}  // namespace

std::unique_ptr<ChildProcess> StartChildProcess(const std::string& program,
                                                const std::vector<std::string>& arguments,
                                                std::string& error) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outputRead = nullptr;
    HANDLE outputWrite = nullptr;
    HANDLE errorsRead = nullptr;
    HANDLE errorsWrite = nullptr;
    HANDLE nul = INVALID_HANDLE_VALUE;
    const auto fail = [&](DWORD code) -> std::unique_ptr<ChildProcess> {
        error = program + ": " + SystemText(code);
        for (HANDLE* handle : {&outputRead, &outputWrite, &errorsRead, &errorsWrite, &nul})
            CloseIfOpen(*handle);
        return nullptr;
    };
    // Only the child's ends are inherited; this process keeps the reading
    // ends to itself, so a later child cannot hold them open.
    if (!CreatePipe(&outputRead, &outputWrite, &inheritable, 0) ||
        !SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0) ||
        !CreatePipe(&errorsRead, &errorsWrite, &inheritable, 0) ||
        !SetHandleInformation(errorsRead, HANDLE_FLAG_INHERIT, 0)) {
        return fail(GetLastError());
    }
    nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                      OPEN_EXISTING, 0, nullptr);
    if (nul == INVALID_HANDLE_VALUE)
        return fail(GetLastError());

    const std::wstring path = Widened(program);
    std::wstring commandLine = Quoted(path);
    for (const std::string& argument : arguments) commandLine += L" " + Quoted(Widened(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = outputWrite;
    startup.hStdError = errorsWrite;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return fail(GetLastError());
    }
    CloseHandle(process.hThread);
    // Without the job the child would run on alone if this process were
    // ended; assigning can fail (an outer job that forbids it), which leaves
    // the child as it was.
    if (HANDLE job = ChildrenJob(); job != nullptr)
        AssignProcessToJobObject(job, process.hProcess);
    CloseIfOpen(outputWrite);
    CloseIfOpen(errorsWrite);
    CloseIfOpen(nul);
    return std::make_unique<Win32ChildProcess>(process.hProcess, outputRead, errorsRead);
}

std::string OwnProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return Narrowed(path);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace vorlan
