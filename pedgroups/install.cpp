// Installing a preset over the game's pedgrp.dat.

#include "pedgroups/install.h"

#include "platform/platform.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pedgroups {

namespace {

const QByteArray presetMark("# Quillfen preset: ");

// Only a regular file (or a link to one) is the game's file; anything else found under
// its name is left alone. A replace by rename needs no write access to the file itself, so
// a game file the user made read-only would be replaced all the same; keep it, as a plain
// copy would.
bool replaceable(const QFileInfo &game)
{
    // No file has a NUL in its name; cut there, the name would be another file's.
    if (game.filePath().contains(QChar(0)))
        return false;
    if (!game.exists() && !game.isSymLink())
        return true;
    const QFileDevice::Permissions writable =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return game.isFile() && game.isWritable() && (game.permissions() & writable);
}

// Replaces or creates `target` with the bytes of `source`, whole or not at all: a folder that
// takes no new file, where the bytes would have to go straight onto the target, fails.
bool copyFile(const QString &source, const QString &target)
{
    QFile from(source);
    if (!platform::openRegularFile(from))
        return false;
    QSaveFile to(target);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered
    // QSaveFile can commit a truncated file as a success.
    if (!to.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 count = from.read(chunk, sizeof chunk);
        if (count == 0)
            break;
        // Without a commit the temporary file is dropped and the target stays as it was.
        if (count < 0 || to.write(chunk, count) != count)
            return false;
    }
    return to.commit();
}

// Whether `game` holds one of our presets, each of which names itself in its first line, this
// version's or an earlier one's.
bool isPreset(const QFileInfo &game)
{
    QFile file(game.filePath());
    return platform::openRegularFile(file) &&
           file.readLine(presetMark.size() + 1).startsWith(presetMark);
}

// A copy kept by an earlier install is never replaced: by now the game file may hold a
// preset. Nor is a preset ever kept, as it would later be put back as the game's own.
bool keepOriginal(const QFileInfo &game, const QString &copy)
{
    const QFileInfo kept(copy);
    if (kept.isFile())
        return true;
    if (kept.exists() || kept.isSymLink())
        return false;
    return !game.exists() || isPreset(game) || copyFile(game.filePath(), copy);
}

} // namespace

QString keptCopy(const QString &gameFile)
{
    return gameFile + QStringLiteral(".orig");
}

bool install(const QString &programFolder, const catalogue::PedGroup &group,
             const QString &dataFolder)
{
    // Only a folder that names one place wherever Quillfen is started: on Windows one with its
    // drive letter and "\" or a \\server\share, elsewhere one from "/". An empty or relative
    // folder would put the file at the root of a drive, or wherever Quillfen was started.
    if (!QFileInfo(dataFolder).isAbsolute())
        return false;

    // The saved folder ends in a separator already; the doubled one is accepted.
    const QString gameFile = platform::gameFile(dataFolder + platform::separator());
    const QFileInfo game(gameFile);
    const QString copy = keptCopy(gameFile);
    if (!replaceable(game) || !keepOriginal(game, copy))
        return false;
    const bool restore = &group == &catalogue::pedGroups.front() && QFileInfo(copy).isFile();
    const QString preset = restore ? copy : catalogue::presetPath(programFolder, group);
    return copyFile(preset, gameFile);
}

} // namespace pedgroups
