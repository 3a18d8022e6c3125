#pragma once

#include <QString>

struct MessageSetControlStates;

// What the message set editor reads from and shows on the page's widgets. The page implements it;
// tests implement it without widgets.
class MessageSetView {
public:
    virtual ~MessageSetView() = default;

    // The path of the folder tree's selected item; empty when none or when it has no path.
    virtual QString TreePath() const = 0;
    // Lists the folder of the tree's selected item again, keeping the item selected.
    virtual void RefreshTreeFolder() = 0;

    // The selected row of the message list, or -1.
    virtual int SelectedRow() const = 0;
    // Makes row the current and only selected row of the list; -1 selects none.
    virtual void SelectRow(int row) = 0;
    virtual void FocusList() = 0;

    // The "Message set" box.
    virtual QString SetNameText() const = 0;
    virtual void ShowSetName(const QString& name) = 0;
    // The id of the checked mode radio button (MessageSetControlStates::Mode), or -1.
    virtual int CheckedMode() const = 0;
    virtual void ShowMode(int mode) = 0;
    virtual void ShowTotals(const QString& count, const QString& totalSize) = 0;
    virtual void ShowFlashCardSize(const QString& size) = 0;
    virtual void ShowControlStates(const MessageSetControlStates& states) = 0;
    virtual void ShowTitle(const QString& title) = 0;
    // How the set shown was read when it comes from its set file alone (its CRC status); empty
    // otherwise.
    virtual void ShowSetFileStatus(const QString& status) = 0;
    // The set's loudness spread under the list; empty hides it.
    virtual void ShowLoudnessSpread(const QString& spread) = 0;
};
