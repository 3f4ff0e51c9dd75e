// The program's one error type: raised where work cannot go on, caught only by the dispatcher.
#pragma once

#include <stdexcept>
#include <string>

namespace rk {

// Error numbers follow the classic runtime numbering players may know from similar tools.
namespace err {
constexpr int kTypeMismatch = 13;
constexpr int kOverflow = 6;
constexpr int kBadFileName = 52;
constexpr int kFileNotFound = 53;
constexpr int kFileAlreadyExists = 58;
constexpr int kDiskFull = 61;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccess = 75;
constexpr int kPathNotFound = 76;
constexpr int kDeviceUnavailable = 68;
constexpr int kAutomation = 440;
}  // namespace err

class RaidError : public std::runtime_error {
  public:
    RaidError(int number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    int number() const { return number_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }

  private:
    int number_;
    std::string source_;
    std::string description_;
};

}  // namespace rk
