#pragma once

#include "pedgroups/catalogue.h"

#include <QString>

namespace pedgroups {

enum class Outcome {
    Installed,
    NotWhole,   // the folder does not name one place wherever Quillfen is started
    Gone,       // the folder is not there, or holds neither the game file nor the kept copy
    NoPreset,   // the group's preset cannot be read
    NotWritten, // the game file, or the copy of it, cannot be written
    Denied,     // nor can any file be made in its folder: Windows keeps it for administrators,
                // and this program is not one
    ModsCopy,   // a Mod Loader mod's copy is what the game reads, and no file is written
};

struct Result
{
    Outcome outcome;
    QString readInstead; // for ModsCopy, the mod's copy from the game's folder on
};

// Whether `dataFolder`, a folder as saved, is still the game's data folder: a folder that holds
// the game's pedgrp.dat, or the copy an install kept of it.
bool isDataFolder(const QString &dataFolder);

// The copy of the game's own `gameFile` that the first install keeps beside it.
QString keptCopy(const QString &gameFile);

// Puts the preset of `group` in place of the game's pedgrp.dat in `dataFolder`, a folder as
// saved, whose file's previous content is first kept in keptCopy() unless a copy is there
// already or that content is one of our presets. The game file is the one the game reads, as
// game::fileRead() finds it; where that is a Mod Loader mod's, nothing is written. The default
// group puts back that copy when there is one. Only a folder that names one place wherever
// Quillfen is started, and that isDataFolder(), is written into; see platform::isWhole().
//
// Afterwards the game file holds either its previous content or the new one, never a mix, and
// the kept copy is the game's own file whole or is not there. A failed install leaves at most
// that copy behind; one killed while writing may also leave a temporary file beside the game
// file where the system cannot make a file without a name (Windows among them). If the preset
// cannot be read, the copy cannot be kept, or the folder takes no new file, nothing is
// installed. An existing game file keeps its permissions, and a symbolic link keeps pointing
// where it did. A game file that is, or leads through links to, a file in the configs folder of
// `programFolder` is never written; Quillfen's folder may otherwise be anywhere, the game's
// folder included.
Result install(const QString &programFolder, const catalogue::PedGroup &group,
               const QString &dataFolder);

// The group whose preset the game file of `dataFolder`, a folder as saved, holds now, as the
// preset's first line names it; none for the game's own file, a mod's, or anything else.
const catalogue::PedGroup *installedGroup(const QString &dataFolder);

} // namespace pedgroups
