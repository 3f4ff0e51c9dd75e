// RAII owners for the kernel handles the test tools open.
#pragma once

#include <windows.h>

#include <utility>

namespace e2e {

// Owns a HANDLE closed with CloseHandle. Both "no handle" values (nullptr and
// INVALID_HANDLE_VALUE) count as empty, since CreateFile and OpenProcess differ.
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.h_, nullptr));
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }

    void reset(HANDLE h = nullptr) {
        if (*this) {
            CloseHandle(h_);
        }
        h_ = h;
    }

  private:
    HANDLE h_ = nullptr;
};

}  // namespace e2e
