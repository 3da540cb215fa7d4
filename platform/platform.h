#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

class QFile;
class QIODevice;

// What Windows and the POSIX systems the game runs on (under Wine or Proton) do differently with
// paths, files, the registry and administrator rights. posix.cpp and windows.cpp each define the
// system's own; common.cpp what both share. Nothing here knows the game or where stores put it.
//
// The search for the game calls these from a thread of its own. None uses a regular expression:
// one matched on a thread leaves a clean-up for that thread's end, and in a MinGW program such
// clean-ups can keep the process from ending after its window has closed.
namespace platform {

// A path suffix written the Windows way ("configs\path") in this system's separators.
QString native(const char *windowsPath);

// The folder of the running executable, without a trailing separator except at a root.
QString programFolder();

// Quillfen's own folder of presets and its setting file's folder, inside `programFolder`.
QString configsFolder(const QString &programFolder);

// Whether `folder` names one place wherever Quillfen is started. On Windows that is a folder
// from a drive letter, ":" and "\" or "/", or from \\server\share, where "/" serves as well:
// "c:gta3" goes on from the drive's current folder, and "\gta3" starts at the current drive.
// Elsewhere it starts at "/". A NUL anywhere names no place.
bool isWhole(const QString &folder);

// Whether file names differ by case alone here.
bool namesHaveCase();

// Whether `path`, an existing file or one its links lead to, is `folder` or lies inside it.
bool isInside(const QString &path, const QString &folder);

// `folder` with a leading "~", alone or before "/", read as the home folder, as a shell reads
// it. On Windows, where "~" is a name like any other, `folder` as it is.
QString withHome(const QString &folder);

// `folder` and `name` joined by one separator, or by none where `folder` ends in one already.
QString join(const QString &folder, const QString &name);

// The entry `name` inside `folder`, under the name it has there, whatever its case, as Windows
// and Wine open files. Where names have a case, `name` as asked for comes first.
QString entry(const QString &folder, const QString &name);

// `folder` followed by each of `names` in turn, each found as entry() finds it.
QString entryPath(const QString &folder, std::initializer_list<QString> names);

// `folder` as it is on disk: its links followed, without "." or "..", in the system's separators,
// and on Windows in the case each name has there. Empty if there is no such folder.
QString realFolder(const QString &folder);

// The folder that the environment's `variable` names, when it names a whole one; else `usual`.
QString folderFrom(const char *variable, const QString &usual = {});

// The Program Files folders, the 32-bit programs' first; none where there are none.
QStringList programFiles();

// Where Windows puts its copies of what an old program writes into `folder`, with the copies'
// folder layout below: a folder under Program Files, the Windows folder or ProgramData maps into
// the user's %LOCALAPPDATA%\VirtualStore. Empty for any other folder, and elsewhere.
QString virtualStore(const QString &folder);

// Opens `file` for reading if it names a regular file. A FIFO or a device fails at once
// instead of blocking.
bool openRegularFile(QFile &file);

// Replaces or creates `target` with the rest of `from`, whole or not at all: written beside it
// and renamed over it, so that a full disk or a kill leaves the target as it was.
bool replaceWith(const QString &target, QIODevice &from);

// Whether a new file cannot be made in `folder` because the system denies it: Windows keeps
// Program Files from a player. Never elsewhere, where a failed write keeps its own message.
bool deniesNewFiles(const QString &folder);

// A text value in the registry; empty when there is none, and on systems without a registry.
struct RegistryValue
{
    enum Root { CurrentUser, LocalMachine, LocalMachine32 } root; // 32: the 32-bit programs' view
    QString key;
    QString name;
};
QString registryText(const RegistryValue &value);

// Whether this process runs with administrator rights.
bool isElevated();

enum class Start { Started, Refused, Failed };
// Starts `program` with administrator rights, through the system's prompt: Refused when the
// player said no there. Failed on systems without one.
Start startAsAdministrator(const QString &program);

// What the three above answer, set by tests where the system cannot stage an answer (Wine has no
// limited token and no prompt); empty, the system answers. Set before anything asks.
struct StandIns
{
    std::function<QString(const RegistryValue &)> registry;
    std::function<bool()> elevated;
    std::function<Start(const QString &)> start;
};
StandIns &standIns();

} // namespace platform
