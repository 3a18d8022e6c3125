#pragma once

// Which commands of the message set page are available, from what is selected and the page's
// mode. Holds no widget; the page enables its buttons from it.
struct MessageSetControlStates {
    // The page's modes, as the radio buttons number them.
    enum Mode { kView = 0, kEdit = 1, kNew = 2 };

    bool play = false;           // "&Play" and "S&top"
    bool add = false;            // ">"
    bool remove = false;         // "<"
    bool clear = false;          // "C&lear Set"
    bool order = false;          // "&Up" and "&Down"
    bool save = false;           // "&Save Message Set as..."
    bool extract = false;        // "E&xtract..."
    bool importAudio = false;    // "&Import audio..."
    bool matchLoudness = false;  // "&Match loudness..."

    // listSelected: an entry of the message list is selected; treeWave: the tree's selected item
    // is a wave file; hasEntries: the set has at least one message; treeSet: the tree's selected
    // item is a message set file.
    static MessageSetControlStates For(bool listSelected, bool treeWave, bool hasEntries, int mode,
                                       bool treeSet = false);

    friend bool operator==(const MessageSetControlStates&,
                           const MessageSetControlStates&) = default;
};
