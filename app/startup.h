#pragma once

#include "pedgroups/catalogue.h"

#include <QString>

// What the window reads of the player's folders as it starts: whether the saved folder is still
// there and which group its game holds, and where a game is when no folder is saved or the saved
// one is gone. It may wait on a drive or share that does not answer, so it runs beside the window.
namespace startup {

struct Question
{
    bool saved = false; // a folder was saved, in `folder`; otherwise this is a first run
    QString folder;
};

struct Answer
{
    // The saved folder names one place, and it is gone or holds no game file: the game was moved
    // or uninstalled, its drive is not plugged in, or the folder was never the data folder.
    bool gone = false;
    const catalogue::PedGroup *installed = nullptr; // the group the game file holds
    QString found; // the installed game's data folder, looked for when none is saved or it is gone
};

Answer read(const Question &question);

} // namespace startup
