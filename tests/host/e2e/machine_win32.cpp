// The end-to-end runs' machine on Windows (under Wine when cross-built): the
// executable started by CreateProcess with its output through a pipe, the
// host's registry key written and deleted, the instance mutex held.
#include "host_e2e.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <thread>

namespace e2e {

namespace {

// A run that has not ended after this long has hung and is ended.
constexpr DWORD kRunLimitMilliseconds = 120'000;
// The exit status a hung run is ended with.
constexpr UINT kHungStatus = 0xDEAD;
constexpr const char* kRegistryKey = "SOFTWARE\\Quillon\\Mirecrest";

// ARGUMENTS as one command line; an argument with a space or tab is quoted.
std::string command_line(const Start& start)
{
    std::string line = "\"" + start.executable + "\"";
    for (const std::string& a : start.args)
        line += a.find_first_of(" \t") == std::string::npos ? " " + a : " \"" + a + "\"";
    return line;
}

// The process's environment with NAME=VALUE entries added or replaced, as the
// block CreateProcess takes.
std::string environment_block(const std::vector<std::string>& extra)
{
    std::vector<std::string> env;
    char* strings = GetEnvironmentStringsA();
    for (const char* e = strings; *e; e += std::strlen(e) + 1)
        env.emplace_back(e);
    FreeEnvironmentStringsA(strings);
    for (const std::string& added : extra) {
        std::string name = added.substr(0, added.find('=') + 1);
        std::erase_if(env, [&](const std::string& e) { return _strnicmp(e.c_str(), name.c_str(), name.size()) == 0; });
        env.push_back(added);
    }
    std::string block;
    for (const std::string& e : env)
        block.append(e).push_back('\0');
    block.push_back('\0');
    return block;
}

} // namespace

long HostE2E::unique() { return long(GetCurrentProcessId()); }

Machine::Machine(fsys::path root)
    : root_(std::move(root))
{
}

Machine::~Machine()
{
    if (lock_ != -1)
        CloseHandle(reinterpret_cast<HANDLE>(lock_));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRegistryKey);
}

void Machine::set_registry(const std::string& name, const std::string& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
    RegCloseKey(key);
}

bool Machine::hold_instance_lock()
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "Global\\IronveilMutex");
    if (!mutex)
        return false;
    lock_ = reinterpret_cast<std::intptr_t>(mutex);
    return true;
}

fsys::path Machine::personal_folder() const
{
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, folder);
    return folder;
}

Outcome Machine::run(const Start& start) const
{
    SECURITY_ATTRIBUTES inherited { sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE };
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherited, 0))
        return Outcome {};
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write_end;
    std::string line = command_line(start), env = environment_block(start.env), folder = start.folder.string();
    PROCESS_INFORMATION process {};
    bool started = CreateProcessA(
        nullptr, line.data(), nullptr, nullptr, TRUE, 0, env.data(), folder.c_str(), &startup, &process);
    CloseHandle(write_end);
    Outcome outcome;
    if (!started) {
        CloseHandle(read_end);
        return outcome;
    }
    std::thread watchdog([&] {
        if (WaitForSingleObject(process.hProcess, kRunLimitMilliseconds) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, kHungStatus);
    });
    char buffer[4096];
    for (DWORD got = 0; ReadFile(read_end, buffer, sizeof(buffer), &got, nullptr) && got > 0;)
        outcome.output.append(buffer, got);
    watchdog.join();
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(read_end);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    outcome.faulted = code == EXCEPTION_ACCESS_VIOLATION;
    outcome.exited = !outcome.faulted && code != kHungStatus;
    outcome.code = int(code);
    return outcome;
}

} // namespace e2e
