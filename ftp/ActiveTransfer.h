#pragma once

#include <QByteArray>
#include <chrono>
#include <functional>

#include "ftp/ControlConnection.h"

// One command with a data connection in active mode (LIST, RETR, STOR): listens on the control
// connection's local address, sends PORT and the command, and then serves the data connection
// and the control connection side by side, so the controller may connect before or after its
// preliminary reply and may send its final reply before the data has been read. The transfer is
// complete only when the data connection has ended AND a positive final reply has come.
//
// Only a connection from the controller's address (the control connection's peer) is taken as
// the data connection; any other is closed at once, noted in the transcript, and the listener
// goes on waiting within the same bound. A reply on the control connection other than the
// command's own preliminary and final ones ends the transfer as OutOfStep. A STOR ends its data
// with a half-close and waits, bounded, for the controller to close its side: the controller
// reads every byte and an orderly end, never a reset.
class ActiveTransfer {
public:
    struct Bounds {
        std::chrono::milliseconds reply{10000};       // each reply and the controller's connect
        std::chrono::milliseconds inactivity{10000};  // no data moving
        std::chrono::milliseconds total{0};           // the whole transfer; 0: no bound
        qint64 maxBytes = -1;                         // bytes received; negative: no bound
    };
    // Receives data; false stops the transfer (cancel or a local write error).
    using Sink = std::function<bool(const char* data, qint64 size)>;
    // Fills data with at most size bytes: the count, 0 at the end, negative to stop.
    using Source = std::function<qint64(char* data, qint64 size)>;

    enum class DataFailure {
        None,
        NotOpened,  // the listener failed, or the controller never connected
        Lost,       // the data connection broke
        Stalled,    // no data moved for the inactivity bound
        TooLarge,   // more than maxBytes, or longer than the total bound
        Stopped,    // the sink, the source or the tick stopped it
    };
    struct Outcome {
        NetFailure control = NetFailure::None;  // on the control connection
        DataFailure data = DataFailure::None;
        FtpReply reply;  // the last reply (final when finalCame); for OutOfStep the stray one
        bool finalCame = false;
        bool portRefused = false;   // the reply is PORT's refusal
        bool started = false;       // the controller took the command (1xx, or it connected)
        bool controlEnded = false;  // the controller closed the control connection after it
        qint64 bytes = 0;           // bytes moved on the data connection
        int systemError = 0;        // the data connection's error, when it broke
        // Whether the control connection can still be trusted to be in step.
        bool ControlInStep() const;
    };

    ActiveTransfer(ControlConnection& control, const Bounds& bounds, NetTick tick)
        : control_(control), bounds_(bounds), tick_(std::move(tick)) {}

    Outcome Receive(const QByteArray& command, const Sink& sink);
    Outcome Send(const QByteArray& command, const Source& source);

private:
    Outcome Run(const QByteArray& command, const Sink* sink, const Source* source);
    // PORT for a fresh listener; false with outcome filled when that failed.
    bool OpenListener(NetSocket& listener, Outcome* outcome);
    // Takes the replies that arrived; false when the control connection failed.
    bool TakeReplies(Outcome* outcome, bool* preliminaryCame);
    // The controller's connection waiting on the listener, if any; others are closed.
    NetSocket AcceptFromController(NetSocket& listener);

    ControlConnection& control_;
    Bounds bounds_;
    NetTick tick_;
};
