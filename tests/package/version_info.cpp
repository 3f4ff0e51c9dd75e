// version_info: prints the version resource's strings of a Windows program, one NAME=VALUE per
// line, as Explorer's Details tab would show them. For check_package.sh.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: version_info PROGRAM.exe\n", stderr);
        return 2;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    if (size == 0) {
        std::fprintf(stderr, "no version resource (error %lu)\n", GetLastError());
        return 1;
    }
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(argv[1], 0, size, data.data()))
        return 1;
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &length) ||
        length < sizeof(Translation)) {
        std::fputs("no translation table\n", stderr);
        return 1;
    }
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translations[0].language,
             translations[0].codePage);
    for (const wchar_t* name : {L"ProductName", L"FileDescription", L"FileVersion",
                                L"ProductVersion", L"LegalCopyright", L"OriginalFilename"}) {
        wchar_t* value = nullptr;
        UINT chars = 0;
        const std::wstring query = std::wstring(block) + name;
        if (VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars) &&
            value) {
            std::wprintf(L"%ls=%ls\n", name, value);
        }
    }
    return 0;
}
