#pragma once

#include <QStringList>

// vantrel-set convert INPUT... [--out FOLDER] [--overwrite] [--loudness LUFS]: converts sound
// files into the wave format of a message (AudioConverter), each into FOLDER or the subfolder
// "converted" beside it; with --loudness, each brought to that loudness by one gain.
// arguments are those after "convert". Returns the exit status: failed when any file failed.
int RunConvertCommand(const QStringList& arguments);
