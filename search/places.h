#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where Steam, Rockstar's launcher, the disc's installer and the Wine managers put the game, on
// this system: places_windows.cpp and places_posix.cpp each hold their own. The search reads them
// in the order given.
namespace places {

// The data folder of an install from the disc, to show when nothing is found.
QString usualDataFolder();

// A Steam install. A Flatpak Steam names paths in the user's home folder as its sandbox sees
// them; they lie inside `sandboxHome`.
struct Steam
{
    QString folder;
    QString sandboxHome; // empty for a Steam without a sandbox
};
QList<Steam> steams();

// The game's folders that Steam, the launcher and the installer record, in the order to look.
QStringList recordedGames();

// Wine prefixes named by the user.
QStringList prefixes();

// A folder of Wine prefixes, as game managers keep them: each of its entries, followed by
// `below`, is a prefix.
struct PrefixFolder
{
    QString folder;
    QString below;
};
// Those of the game managers, then Proton's in each of the Steam `libraries`.
QList<PrefixFolder> prefixFolders(const QStringList &libraries);

} // namespace places
