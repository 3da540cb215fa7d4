#pragma once

#include <QString>

// The search for the original GTA3 installed on this machine.
namespace gamesearch {

// The data folder of the first game found, in the system's form and without a trailing
// separator; empty when none is. Looked for in each Steam library, by Steam's manifest of the
// game and then by its usual folder name, then where the game's own installer puts it. A game
// counts only with gta3.exe and data/pedgrp.dat, in any case, so the Definitive Edition never
// does.
//
// Steam's files are read as found, whatever they hold, and only so far; nothing is written or
// locked. The search may wait as long as the system does on a drive or share that does not
// answer: run it beside the window.
QString installedGame();

} // namespace gamesearch
