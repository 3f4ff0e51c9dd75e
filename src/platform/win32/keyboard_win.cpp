// Implements: rk::win::DirectInputKeyboard (dinput8.dll from the system folder,
// DirectInput8Create, GUID_SysKeyboard, c_dfDIKeyboard).
#include "platform/win32/keyboard_win.h"

#include <string>

#include "platform/error.h"
#include "platform/win32/system_error_win.h"

namespace rk::win {

namespace {
[[noreturn]] void fail(const char* step, HRESULT hr) {
    throw RaidError(err::kAutomation, "DirectInput",
                    std::string("Keyboard device: ") + step + " failed (" + hresultText(hr) + ")");
}

using DirectInput8CreateFn = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, LPVOID*, LPUNKNOWN);
}  // namespace

DirectInputKeyboard::DirectInputKeyboard(HWND window) : window_(window) {}

DirectInputKeyboard::~DirectInputKeyboard() {
    if (device_)
        device_->Unacquire();
}

void DirectInputKeyboard::setUp() {
    device_.reset();
    input_.reset();
    // From the system folder only, at run time: imported, or loaded by name, the library would
    // be taken from our own folder first, where anyone who can write there may have put one.
    if (!dinput_)
        dinput_.reset(LoadLibraryExW(L"dinput8.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const auto create = dinput_ ? reinterpret_cast<DirectInput8CreateFn>(reinterpret_cast<void*>(
                                      GetProcAddress(dinput_.get(), "DirectInput8Create")))
                                : nullptr;
    if (create == nullptr)
        fail("Loading dinput8.dll", HRESULT_FROM_WIN32(GetLastError()));
    HRESULT hr = create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                        reinterpret_cast<void**>(input_.put()), nullptr);
    if (FAILED(hr))
        fail("DirectInput8Create", hr);
    hr = input_->CreateDevice(GUID_SysKeyboard, device_.put(), nullptr);
    if (FAILED(hr))
        fail("CreateDevice(GUID_SysKeyboard)", hr);
    hr = device_->SetDataFormat(&c_dfDIKeyboard);
    if (FAILED(hr))
        fail("SetDataFormat(c_dfDIKeyboard)", hr);
    // Non-exclusive background: the game keeps every key, and we read while hidden.
    hr = device_->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    if (FAILED(hr))
        fail("SetCooperativeLevel", hr);
    hr = device_->Acquire();
    if (FAILED(hr))
        fail("Acquire", hr);
}

bool DirectInputKeyboard::read(KeyState& state) {
    state.fill(0);
    if (!device_)
        return false;
    if (FAILED(device_->GetDeviceState(static_cast<DWORD>(state.size()), state.data()))) {
        // Half-filled buffers must not look like keys that are down.
        state.fill(0);
        return false;
    }
    return true;
}

void DirectInputKeyboard::reacquire() {
    if (device_)
        device_->Acquire();
}

void DirectInputKeyboard::unacquire() {
    if (device_)
        device_->Unacquire();
}

}  // namespace rk::win
