#pragma once

#include <QString>

// The search for the original GTA3 installed on this machine.
namespace gamesearch {

// The data folder of the first game found, as platform::realFolder() gives it; empty when none
// is. Looked for in each Steam library, by Steam's manifest of the game and then by its usual
// folder name; then in the folders that places::recordedGames() names; then in Rockstar's
// folders under Program Files, and under those of each Wine prefix of places::prefixes() and of
// places::prefixFolders(), at most a few hundred from each folder of them. Names are found in
// any case. A game counts only where game::holdsGame() says so.
//
// Steam's files are read as found, whatever they hold, and only so far; nothing else is opened,
// and nothing is written or locked. The search may wait as long as the system does on a drive or
// share that does not answer: run it beside the window.
QString installedGame();

} // namespace gamesearch
