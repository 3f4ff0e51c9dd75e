// Injected platform failures: the fakes of one running program count the calls they get that can
// fail on Windows, and the one call a test names fails the way Windows fails it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace rk {

// The fake calls that can fail, grouped by how Windows lets them fail.
enum class Call : std::uint8_t {
    FileLookUp,         // isFile, find, isFolder: the entry reads as missing
    FileRead,           // readAll: raises
    FileCreate,         // writeNewFrom: refused at the start, or the disk fills part way
    FileMove,           // move
    FileRemove,         // remove
    FileStamp,          // setTimes, setAttributes
    FolderProbe,        // canCreateFileIn
    FolderCreate,       // createFolder
    KnownFolder,        // knownFolder: ""
    ClipboardOpen,      // useBitmap, putCopyOf
    KeyboardSetUp,      // setUp: raises
    KeyboardRead,       // read: the device is lost
    KeyboardReacquire,  // reacquire
    Priority,           // raisePriority
    ProcessStart,       // start: raises
    ProcessEnd,         // terminate
    RegistryOpen,       // openKey
    RegistryCreate,     // createKey
    RegistryQuery,      // queryValue
    RegistrySet,        // setValue
    GdiMake,            // a device context, a DIB section or a selection refused
    GdiRead,            // bitBlt, getBits: the pixels cannot be read
    TrayNotify,         // notify
    KeySend,            // send: raises
    FileDialog,         // openFile, saveFile: raises
};

enum class Failure : std::uint8_t {
    AccessDenied,
    SharingViolation,  // held open by another program
    DiskFull,          // some of the bytes written, then no room for the rest
    NotFound,
    Busy,     // the clipboard is held open by another program
    Lost,     // input lost: the device is no longer acquired
    Refused,  // out of resources, or the system's plain no
};

// The failures Windows gives a call of this kind.
std::span<const Failure> FailuresOf(Call call);
std::string_view NameOf(Call call);
std::string_view NameOf(Failure failure);

// Shared by the fakes of one harness. The fakes are called on the thread that drives the
// program, so the plan needs no lock.
class FaultPlan {
  public:
    struct Injected {
        int number = 0;
        Call call{};
        Failure failure{};
    };

    // Counts calls from now on, from 1, and fails none.
    void count();
    // Counts calls from now on, from 1; call number `number` fails with `failure` when that is a
    // failure its kind can have.
    void failCall(int number, Failure failure);
    // No more counting.
    void stop();

    // Asked at the top of every fake method that can fail: the failure this call is to have.
    std::optional<Failure> at(Call call);

    // The kinds of the calls counted so far, in order.
    const std::vector<Call>& calls() const { return calls_; }
    // The call that was failed, once it has been.
    const std::optional<Injected>& injected() const { return injected_; }

  private:
    bool counting_ = false;
    std::optional<Injected> target_;
    std::vector<Call> calls_;
    std::optional<Injected> injected_;
};

// A fake that a plan can make fail; without one it never does.
class Faultable {
  public:
    FaultPlan* faults = nullptr;

  protected:
    std::optional<Failure> fault(Call call) { return faults ? faults->at(call) : std::nullopt; }
};

}  // namespace rk
