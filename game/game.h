#pragma once

#include <QString>

// GTA3 itself: its names, the layout of its folder, and which pedgrp.dat it reads.
namespace game {

// Its own names, which it finds in any case.
extern const QString programName;    // gta3.exe
extern const QString dataFolderName; // data
extern const QString fileName;       // pedgrp.dat

// The data folder inside `gameFolder`, under the name it has there.
QString dataFolderOf(const QString &gameFolder);

// Whether `gameFolder` holds the game: gta3.exe beside data/pedgrp.dat. The Definitive Edition,
// which has neither there, never does.
bool holdsGame(const QString &gameFolder);

// The pedgrp.dat in `dataFolder`, under the name it has there.
QString fileIn(const QString &dataFolder);

// The pedgrp.dat the game reads for `dataFolder`. On Windows, for a folder whose writes Windows
// redirects (see platform::virtualStore()), that is the copy that Windows made for an old
// program's write, when there is one: the 2002 game reads it instead. Otherwise fileIn().
QString fileRead(const QString &dataFolder);

} // namespace game
