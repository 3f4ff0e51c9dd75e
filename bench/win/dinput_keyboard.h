// The keyboard as a background poller reads it: DirectInput 8, the standard keyboard format,
// non-exclusive and in the background, so other programs keep every key.
#pragma once

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>
#include <windows.h>

#include <array>

namespace bench {

// Owns one COM reference.
template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_ != nullptr)
            p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** put() { return &p_; }

  private:
    T* p_ = nullptr;
};

// Keyboard released before it is destroyed, as the program does at unload.
class DinputKeyboard {
  public:
    bool open(HWND window) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        if (FAILED(DirectInput8Create(instance, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                      reinterpret_cast<void**>(input_.put()), nullptr)))
            return false;
        if (FAILED(input_->CreateDevice(GUID_SysKeyboard, device_.put(), nullptr)))
            return false;
        if (FAILED(device_->SetDataFormat(&c_dfDIKeyboard)))
            return false;
        if (FAILED(device_->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)))
            return false;
        acquired_ = SUCCEEDED(device_->Acquire());
        return acquired_;
    }
    ~DinputKeyboard() {
        if (acquired_)
            device_->Unacquire();
    }

    void read() {
        std::array<BYTE, 256> state{};
        if (FAILED(device_->GetDeviceState(static_cast<DWORD>(state.size()), state.data())))
            device_->Acquire();
    }

  private:
    ComRef<IDirectInput8W> input_;
    ComRef<IDirectInputDevice8W> device_;
    bool acquired_ = false;
};

}  // namespace bench
