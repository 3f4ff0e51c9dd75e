#include "fault_plan.h"

#include <algorithm>
#include <array>

namespace rk {

namespace {
using enum Failure;
constexpr std::array kDenied{AccessDenied};
constexpr std::array kDeniedOrHeld{AccessDenied, SharingViolation};
constexpr std::array kDeniedOrFull{AccessDenied, DiskFull};
constexpr std::array kNotFoundOrDenied{NotFound, AccessDenied};
constexpr std::array kBusy{Busy};
constexpr std::array kLost{Lost};
constexpr std::array kRefused{Refused};
}  // namespace

std::span<const Failure> FailuresOf(Call call) {
    switch (call) {
        case Call::FileRead:
        case Call::FileMove:
            return kDeniedOrHeld;
        case Call::FileCreate:
            return kDeniedOrFull;
        case Call::FileLookUp:
        case Call::FileRemove:
        case Call::FileStamp:
        case Call::FolderProbe:
        case Call::FolderCreate:
        case Call::ProcessEnd:
        case Call::RegistryOpen:
        case Call::RegistryCreate:
        case Call::RegistrySet:
            return kDenied;
        case Call::ProcessStart:
            return kNotFoundOrDenied;
        case Call::ClipboardOpen:
            return kBusy;
        case Call::KeyboardRead:
            return kLost;
        case Call::KnownFolder:
        case Call::KeyboardSetUp:
        case Call::KeyboardReacquire:
        case Call::Priority:
        case Call::RegistryQuery:
        case Call::GdiMake:
        case Call::GdiRead:
        case Call::TrayNotify:
        case Call::KeySend:
        case Call::FileDialog:
            return kRefused;
    }
    return {};
}

std::string_view NameOf(Call call) {
    constexpr std::array<std::string_view, 25> kNames = {
        "file look-up",       "file read",       "file create",     "file move",
        "file remove",        "file stamp",      "folder probe",    "folder create",
        "known folder",       "clipboard open",  "keyboard set-up", "keyboard read",
        "keyboard reacquire", "priority",        "process start",   "process end",
        "registry open",      "registry create", "registry query",  "registry set",
        "gdi make",           "gdi read",        "tray notify",     "key send",
        "file dialog"};
    return kNames.at(static_cast<std::size_t>(call));
}

std::string_view NameOf(Failure failure) {
    constexpr std::array<std::string_view, 7> kNames = {
        "access denied", "sharing violation", "disk full", "not found", "busy", "lost", "refused"};
    return kNames.at(static_cast<std::size_t>(failure));
}

void FaultPlan::count() {
    counting_ = true;
    target_.reset();
    calls_.clear();
    injected_.reset();
}

void FaultPlan::failCall(int number, Failure failure) {
    count();
    target_ = Injected{number, {}, failure};
}

void FaultPlan::stop() {
    counting_ = false;
    target_.reset();
}

std::optional<Failure> FaultPlan::at(Call call) {
    if (!counting_)
        return std::nullopt;
    calls_.push_back(call);
    if (!target_ || static_cast<int>(calls_.size()) != target_->number)
        return std::nullopt;
    const auto failures = FailuresOf(call);
    if (std::find(failures.begin(), failures.end(), target_->failure) == failures.end())
        return std::nullopt;
    injected_ = Injected{target_->number, call, target_->failure};
    return target_->failure;
}

}  // namespace rk
