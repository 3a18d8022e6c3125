#pragma once

#include <QDeadlineTimer>
#include <chrono>
#include <functional>
#include <span>

#include "ftp/platform/NetSocket.h"

// Looked at while a wait on the network goes on, at least every kTickInterval: pumps the progress
// display and returns false when the user cancelled.
using NetTick = std::function<bool()>;
constexpr std::chrono::milliseconds kTickInterval{100};

enum class WaitResult { Ready, TimedOut, Cancelled, Failed };

// Waits until one of the sockets is ready or has failed (NetSocket::Wait::failed, also for a
// socket nothing was asked of), the deadline passes or the tick cancels.
WaitResult WaitForSockets(std::span<NetSocket::Wait> waits, const QDeadlineTimer& deadline,
                          const NetTick& tick);
