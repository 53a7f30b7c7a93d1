// quarto-tool (or any program) run as a user runs it: a process started with its arguments as
// they are (no shell between), its output and error streams caught in files of a scratch folder,
// and its exit status. CreateProcessW on Windows, posix_spawn elsewhere.
#pragma once

#include "EditionFixture.h"

#include <cerrno>
#include <string>
#include <vector>

#ifdef _WIN32
#include "common/WideText.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace quarto::test {

struct TResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

#ifdef _WIN32
// One argument as the C runtime's command line parsing gives it back (CommandLineToArgvW).
inline std::wstring CommandLineWord(const std::wstring& word) {
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return word;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}
#endif

// Runs program with args; its output and error go to files in scratch (its input is empty).
// Status -1 when it could not be started or did not end normally.
inline TResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                          const TPath& scratch) {
    const std::string out = (scratch / "out").string();
    const std::string err = (scratch / "err").string();
    int status = -1;
#ifdef _WIN32
    std::wstring line = CommandLineWord(WideOf(program));
    for (const std::string& a : args)
        line += L" " + CommandLineWord(WideOf(a));
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto create = [&](const std::string& path, DWORD access, DWORD disposition) {
        return CreateFileW(WideOf(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherited, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const HANDLE input = create("NUL", GENERIC_READ, OPEN_EXISTING);
    const HANDLE output = create(out, GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE error = create(err, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code))
            status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (const HANDLE h : {input, output, error})
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
#else
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int raw = 0;
        while (waitpid(child, &raw, 0) < 0 && errno == EINTR) {
        }
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
#endif
    const auto read = [](const std::string& path) {
        return FileExists(path) ? ReadWholeFile(path) : std::string();
    };
    return {status, read(out), read(err)};
}

} // namespace quarto::test
