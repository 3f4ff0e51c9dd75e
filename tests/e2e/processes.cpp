#include "processes.h"

#include <windows.h>
// windows.h first: tlhelp32.h relies on its types.
#include <tlhelp32.h>

#include <vector>

#include "platform/win32/handles_win.h"

namespace e2e {

namespace {

bool same_image(const wchar_t* a, std::wstring_view b) {
    return CompareStringOrdinal(a, -1, b.data(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::vector<DWORD> pids_of(std::wstring_view image) {
    std::vector<DWORD> pids;
    rk::win::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return pids;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (same_image(entry.szExeFile, image)) {
            pids.push_back(entry.th32ProcessID);
        }
    }
    return pids;
}

}  // namespace

int count_processes(std::wstring_view image) {
    return static_cast<int>(pids_of(image).size());
}

int terminate_processes(std::wstring_view image, unsigned wait_ms) {
    int ended = 0;
    for (const DWORD pid : pids_of(image)) {
        if (pid == GetCurrentProcessId()) {
            continue;
        }
        rk::win::UniqueKernelHandle process(
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (process && TerminateProcess(process.get(), 1)) {
            WaitForSingleObject(process.get(), wait_ms);
            ++ended;
        }
    }
    return ended;
}

}  // namespace e2e
