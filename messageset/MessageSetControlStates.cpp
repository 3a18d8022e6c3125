#include "messageset/MessageSetControlStates.h"

MessageSetControlStates MessageSetControlStates::For(bool listSelected, bool treeWave,
                                                     bool hasEntries, int mode, bool treeSet) {
    const bool editable = mode == kEdit || mode == kNew;
    MessageSetControlStates states;
    states.play = treeWave || listSelected;
    states.add = treeWave && editable;
    states.remove = listSelected && editable;
    states.clear = hasEntries && editable;
    states.order = listSelected && editable;
    states.save = hasEntries && editable;
    states.extract = treeSet && mode == kView;
    states.importAudio = editable;
    states.matchLoudness = hasEntries && editable;
    return states;
}
