#pragma once

#include "pedgroups/catalogue.h"

#include <QString>

namespace pedgroups {

// The copy of the game's own `gameFile` that the first install keeps beside it.
QString keptCopy(const QString &gameFile);

// Puts the preset of `group` in place of `gameFile`, whose previous content is first kept
// in keptCopy(gameFile) unless a copy is there already or that content is one of our presets.
// The default group puts back that copy when there is one. Afterwards the game file holds
// either its previous content or the new one, never a mix, and no temporary file is left
// behind; if the copy cannot be kept, or the folder takes no new file, nothing is installed.
// An existing game file keeps its permissions, and a symbolic link keeps pointing where it did.
bool install(const QString &programFolder, const catalogue::PedGroup &group,
             const QString &gameFile);

} // namespace pedgroups
