#pragma once

#include <QString>

// How an upload, a download or a web upload of the file transfer page ended. The page turns it
// into the words the user sees.
struct TransferReport {
    enum class Outcome {
        NotConnected,    // no open session
        NotFound,        // the selected local entry does not exist
        IsDirectory,     // a single upload of a directory
        NotWebRoot,      // a web upload of anything but the web root directory
        CannotOpen,      // a message set that cannot be opened for reading
        LargerThanCard,  // a message set longer than the flash card
        Done,
        Failed,          // reason holds why
        Cancelled,       // the user cancelled a web upload; reason: what that left, or empty
        NotRegularFile,  // a pipe, socket or device: never opened
        RefusedName,     // reason holds the local name (below the web root) that has a "\"
    };

    Outcome outcome = Outcome::Done;
    // For Failed: the session's text, or which remote directory could not be made; for Cancelled:
    // that the file being sent may be incomplete on the controller, or empty.
    QString reason;
};
