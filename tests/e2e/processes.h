// Processes by image name ("ironveil.exe"), compared without regard to case as Windows does.
#pragma once

#include <string_view>

namespace e2e {

int count_processes(std::wstring_view image);

// Ends every such process except the caller and waits up to wait_ms for each to go.
// Returns how many were ended.
int terminate_processes(std::wstring_view image, unsigned wait_ms);

}  // namespace e2e
