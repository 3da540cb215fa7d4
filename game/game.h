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

// The game's folder above `dataFolder`, in the system's separators.
QString gameFolderOf(const QString &dataFolder);

// Whether `gameFolder` holds the game: gta3.exe beside data/pedgrp.dat. The Definitive Edition,
// which has neither there, never does.
bool holdsGame(const QString &gameFolder);

// The pedgrp.dat in `folder` that the game opens: where names have a case, the PEDGRP.DAT it
// asks for before any other spelling; otherwise the one there under whatever name it has.
QString fileIn(const QString &folder);

// The pedgrp.dat that the game reads for `dataFolder`, a data folder as saved.
struct GameFile
{
    QString path;
    // A Mod Loader mod's copy, or several merged, takes the place of every file Quillfen may
    // write; `path` is then the first of them.
    bool ofAMod = false;
};
// In this order, in the game's folder above `dataFolder`: a pedgrp.dat at any depth inside a mod
// of Mod Loader's `modloader` folder, while modloader.asi is in the game's folder, its scripts or
// its plugins folder; the ASI loader's update\data\pedgrp.dat; the data folder's own. Of the last
// two, where Windows redirects an old program's writes (see platform::virtualStore()), the copy
// it made there, unless the game is set to run as administrator. The walk through the mods
// follows no link, and goes 16 levels and 100,000 entries deep at most.
GameFile fileRead(const QString &dataFolder);

} // namespace game
