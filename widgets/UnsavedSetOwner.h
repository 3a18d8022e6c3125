#pragma once

// What the main window needs from the page that holds the message set being edited: whether it has
// changed since it was last started, loaded or saved, and the save it runs before the program
// exits when the user asks for it.
class UnsavedSetOwner {
public:
    virtual ~UnsavedSetOwner() = default;
    virtual bool IsSetChanged() const = 0;
    // Asks for a file and saves the set; the outcome is the page's to report.
    virtual void SaveSetAs() = 0;
};
