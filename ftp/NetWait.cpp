#include "ftp/NetWait.h"

#include <algorithm>

WaitResult WaitForSockets(std::span<NetSocket::Wait> waits, const QDeadlineTimer& deadline,
                          const NetTick& tick) {
    while (true) {
        const qint64 remaining = deadline.remainingTime();
        const int slice = static_cast<int>(std::clamp<qint64>(remaining, 0, kTickInterval.count()));
        if (!NetSocket::WaitAny(waits, slice)) {
            return WaitResult::Failed;
        }
        for (const NetSocket::Wait& wait : waits) {
            if (wait.readable || wait.writable || wait.failed) {
                return WaitResult::Ready;
            }
        }
        if (tick && !tick()) {
            return WaitResult::Cancelled;
        }
        if (deadline.hasExpired()) {
            return WaitResult::TimedOut;
        }
    }
}
