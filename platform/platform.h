#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>

class QFile;

// Where Windows and the POSIX systems the game runs on (under Wine or Proton) differ in their
// paths and file names, and in where Steam and the game are installed, the difference lives
// behind these functions, and the rest of the program only joins texts.
//
// The search for the game calls them from a thread of its own. None uses a regular expression:
// one matched on a thread leaves a clean-up for that thread's end, and in a MinGW program such
// clean-ups can keep the process from ending after its window has closed. Qt carries the
// differences below that: the code page of 8-bit text, and what a file's permissions allow.
namespace platform {

// The path separator: "\" on Windows, "/" elsewhere.
QString separator();

// A path suffix written the Windows way ("\configs\path\config.cfg") in this system's form.
QString native(const char *windowsPath);

// The folder of the running executable, without a trailing separator except at a root.
QString programFolder();

// Where the game keeps its data on a default install.
QString defaultDataFolder();

// Whether `folder` names one place wherever Quillfen is started. On Windows that is a folder
// from a drive letter, ":" and "\" or "/", or from \\server\share, where "/" serves as well:
// "c:gta3" goes on from the drive's current folder, and "\gta3" starts at the current drive.
// Elsewhere it starts at "/". A NUL anywhere names no place.
bool isWhole(const QString &folder);

// Whether `path`, its links followed, is `folder` or lies inside it. A path that is not there
// yet is judged by the folder it would be made in.
bool isInside(const QString &path, const QString &folder);

// `folder` with a leading "~", alone or before "/", read as the home folder, as a shell reads
// it. On Windows, where "~" is a name like any other, `folder` as it is.
QString withHome(const QString &folder);

// The entry `name` inside `folder`, a folder text that already ends in a separator, under the
// name it has there, whatever its case: the game opens its files so, on Windows and under Wine
// alike. The folder is joined as it stands.
QString entry(const QString &folder, const QString &name);

// `folder` followed by each of `names` in turn, each under the name it has there, as entry()
// finds it; `folder` has no trailing separator.
QString entryPath(const QString &folder, std::initializer_list<QString> names);

// The game's own names, which it finds in any case, as entry() does.
extern const QString gameProgramName, dataFolderName, gameFileName;

// The game's pedgrp.dat inside `folder`, a data folder that ends in a separator.
QString gameFile(const QString &folder);

// The pedgrp.dat that the game reads for `folder`, a data folder that ends in a separator. On
// Windows, for a folder under "Program Files", "Program Files (x86)", the Windows folder or
// ProgramData, that is the copy that Windows made for an old program's write, in the user's
// %LOCALAPPDATA%\VirtualStore, when there is one: the 2002 game reads it instead. Otherwise, and
// elsewhere, gameFile().
QString gameFileRead(const QString &folder);

// Whether Windows keeps `folder` from this program: a new file cannot be made in it. Never
// elsewhere, where a failed write keeps its own message.
bool deniesNewFiles(const QString &folder);

// Starts `program` with administrator rights, through the system's prompt; false when it did not
// start, as when the player said no there. Never elsewhere.
bool startAsAdministrator(const QString &program);

// The data folder inside `game`, the game's folder, without a trailing separator.
QString dataFolderOf(const QString &game);

// Whether `game` holds the game: gta3.exe beside data/pedgrp.dat. The Definitive Edition, which
// has neither there, never does.
bool holdsGame(const QString &game);

// `folder` as it is on disk: its links followed, without "." or "..", in the system's separators,
// and on Windows in the case each name has there. Empty if there is no such folder.
QString realFolder(const QString &folder);

// A Steam install, in the order Steam is looked for on this system. A Flatpak Steam names paths
// in the user's home folder as its sandbox sees them; they lie inside `sandboxHome`.
struct Steam
{
    QString folder;
    QString sandboxHome; // empty for a Steam without a sandbox
};
QList<Steam> steamInstalls();

// Game folders to look in after Steam's libraries, in the order to look: on Windows those that
// Steam's uninstall entry, Rockstar's launcher and the disc's installer record or use; elsewhere
// where they put the game inside the Wine prefixes of $WINEPREFIX and ~/.wine.
QStringList gameFolders();

// A folder of Wine prefixes, as game managers keep them: each of its entries, followed by
// `below`, is a prefix.
struct PrefixFolder
{
    QString folder;
    QString below;
};
// Those of the game managers, then Proton's in each of the Steam `libraries`; none on Windows.
QList<PrefixFolder> prefixFolders(const QStringList &libraries);

// Where the disc's installer and Rockstar's launcher put the game inside the Wine prefix `prefix`.
QStringList gameFoldersIn(const QString &prefix);

// Opens `file` for reading if it names a regular file. A FIFO or a device fails at once
// instead of blocking the event thread.
bool openRegularFile(QFile &file);

} // namespace platform
