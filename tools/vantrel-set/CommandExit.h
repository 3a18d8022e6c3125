#pragma once

// The exit status of every vantrel-set command.
namespace command_exit {

inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

}  // namespace command_exit
