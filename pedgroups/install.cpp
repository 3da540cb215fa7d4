// Installing a preset over the game's pedgrp.dat.

#include "pedgroups/install.h"

#include "game/game.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pedgroups {

namespace {

const QByteArray presetMark("# Quillfen preset: ");

// Only a regular file (or a link to one) is the game's file; anything else found under
// its name is left alone. A replace by rename needs no write access to the file itself, so
// a game file the user made read-only would be replaced all the same; keep it, as a plain
// copy would.
bool replaceable(const QFileInfo &game)
{
    if (!game.exists() && !game.isSymLink())
        return true;
    const QFileDevice::Permissions writable =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return game.isFile() && game.isWritable() && (game.permissions() & writable);
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
    if (!game.exists())
        return true;
    QFile file(game.filePath());
    if (!platform::openRegularFile(file))
        return false;
    // Each of our presets names itself in its first line, this version's or an earlier one's.
    return file.peek(presetMark.size()) == presetMark || platform::replaceWith(copy, file);
}

} // namespace

QString keptCopy(const QString &gameFile)
{
    return gameFile + QStringLiteral(".orig");
}

bool isDataFolder(const QString &dataFolder)
{
    const QFileInfo own(game::fileIn(dataFolder));
    return QFileInfo(dataFolder).isDir() &&
           (own.exists() || own.isSymLink() || QFileInfo::exists(keptCopy(own.filePath())));
}

Result install(const QString &programFolder, const catalogue::PedGroup &group,
               const QString &dataFolder)
{
    // An empty or relative folder would put the file at the root of a drive, or wherever
    // Quillfen was started.
    if (!platform::isWhole(dataFolder))
        return {Outcome::NotWhole, {}};

    // A game that was moved or uninstalled, or a folder the game never reads, such as the
    // game's own folder named by hand.
    if (!isDataFolder(dataFolder))
        return {Outcome::Gone, {}};

    const game::GameFile read = game::fileRead(dataFolder);
    if (read.ofAMod) {
        const QDir gameFolder(game::gameFolderOf(dataFolder));
        return {Outcome::ModsCopy,
                QDir::toNativeSeparators(gameFolder.relativeFilePath(read.path))};
    }
    const QString gameFile = read.path;
    const QFileInfo target(gameFile);
    // A game file linked to one of our presets would have the preset rewritten, and from then
    // on install another group under its name. Quillfen itself may well be in the game's folder.
    if (!replaceable(target) ||
        platform::isInside(gameFile, platform::configsFolder(programFolder)))
        return {Outcome::NotWritten, {}};
    // Opened before anything is written, so that a missing preset writes nothing. The default
    // group does without its preset where it puts back the game's own file.
    QFile preset(catalogue::presetPath(programFolder, group));
    const bool isDefault = &group == &catalogue::defaultGroup;
    if (!platform::openRegularFile(preset) && !isDefault)
        return {Outcome::NoPreset, {}};
    const QString copy = keptCopy(gameFile);
    bool written = keepOriginal(target, copy);
    if (written && isDefault && QFileInfo(copy).isFile()) {
        QFile kept(copy);
        written = platform::openRegularFile(kept) && platform::replaceWith(gameFile, kept);
    } else if (written && !preset.isOpen()) {
        return {Outcome::NoPreset, {}};
    } else if (written) {
        written = platform::replaceWith(gameFile, preset);
    }
    if (written)
        return {Outcome::Installed, {}};
    // Starting again as administrator helps only a program that is not one already.
    const bool denied = platform::deniesNewFiles(target.path()) && !platform::isElevated();
    return {denied ? Outcome::Denied : Outcome::NotWritten, {}};
}

const catalogue::PedGroup *installedGroup(const QString &dataFolder)
{
    if (!platform::isWhole(dataFolder))
        return nullptr;
    const game::GameFile read = game::fileRead(dataFolder);
    QFile file(read.path);
    if (read.ofAMod || !platform::openRegularFile(file))
        return nullptr;
    // The first line, which is all a preset needs to name itself; the file may be of any size.
    const QByteArray head = file.peek(presetMark.size() + 64);
    const qsizetype end = head.indexOf('\n');
    if (!head.startsWith(presetMark) || end < 0)
        return nullptr;
    QByteArray label = head.left(end).mid(presetMark.size());
    if (label.endsWith('\r'))
        label.chop(1);
    return catalogue::find(QString::fromLatin1(label));
}

} // namespace pedgroups
