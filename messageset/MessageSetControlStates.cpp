#include "messageset/MessageSetControlStates.h"

MessageSetControlStates MessageSetControlStates::For(bool listSelected, bool treeWave,
                                                     bool hasEntries, int mode) {
    const bool editable = mode == kEdit || mode == kNew;
    MessageSetControlStates states;
    states.play = treeWave || listSelected;
    states.add = treeWave && editable;
    states.remove = listSelected && editable;
    states.clear = hasEntries && editable;
    states.order = listSelected && editable;
    states.save = hasEntries && editable;
    return states;
}
