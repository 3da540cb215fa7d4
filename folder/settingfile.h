#pragma once

#include <QString>

// The one-line file beside the program that remembers the game's data folder.
namespace settingfile {

struct StoredFolder
{
    enum State {
        Nothing,    // the file could not be opened: a first run
        Complete,   // every line was read; an empty text still counts as stored
        Incomplete, // a read failed part-way, or the file is far too long for a folder;
                    // `text` holds the lines read before that
    };
    State state = Nothing;
    QString text;
};

QString path(const QString &programFolder);

// The lines of the file joined end to end, without their line ends.
StoredFolder read(const QString &programFolder);

// Replaces the file with `folder` and CR LF, in the system code page, or as UTF-8 behind a
// byte-order mark when the code page lacks a character of it. A failed write leaves the previous
// file as it was. The folders on the way are never created.
bool write(const QString &programFolder, const QString &folder);

} // namespace settingfile
