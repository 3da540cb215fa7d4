#include "game/game.h"

#include "platform/platform.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace game {

const QString programName = QStringLiteral("gta3.exe");
const QString dataFolderName = QStringLiteral("data");
const QString fileName = QStringLiteral("pedgrp.dat");

QString dataFolderOf(const QString &gameFolder)
{
    return platform::entry(gameFolder, dataFolderName);
}

QString gameFolderOf(const QString &dataFolder)
{
    return QDir::toNativeSeparators(QFileInfo(QDir::cleanPath(dataFolder)).path());
}

bool holdsGame(const QString &gameFolder)
{
    return QFileInfo(platform::entry(gameFolder, programName)).isFile() &&
           QFileInfo(fileIn(dataFolderOf(gameFolder))).isFile();
}

QString fileIn(const QString &folder)
{
    // The game asks for its files in capitals, and Wine opens the name as asked for first.
    const QString asAsked = platform::join(folder, fileName.toUpper());
    if (platform::namesHaveCase() && QFileInfo::exists(asAsked))
        return asAsked;
    return platform::entry(folder, fileName);
}

namespace {

// Mod Loader's mods may hold tens of thousands of files; the walk ends at these, as if nothing
// more were there.
constexpr int deepest = 16;
constexpr int mostEntries = 100000;

// Whether Mod Loader is installed in `gameFolder`: the ASI loader loads it from any of these.
bool hasModLoader(const QString &gameFolder)
{
    for (const QString &folder :
         {gameFolder, platform::entry(gameFolder, QStringLiteral("scripts")),
          platform::entry(gameFolder, QStringLiteral("plugins"))}) {
        if (QFileInfo(platform::entry(folder, QStringLiteral("modloader.asi"))).isFile())
            return true;
    }
    return false;
}

// The first pedgrp.dat in `folder`, whose entries lie `depth` levels below modloader, or in the
// folders below it: a folder's own before those of its folders, each in name order.
QString firstCopyIn(const QString &folder, int depth, int &entries)
{
    QStringList files, folders;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext() && ++entries <= mostEntries) {
        const QFileInfo found = it.nextFileInfo();
        if (found.isSymLink())
            continue;
        if (found.isDir())
            folders << found.filePath();
        else if (found.fileName().compare(fileName, Qt::CaseInsensitive) == 0)
            files << found.filePath();
    }
    files.sort();
    if (!files.isEmpty())
        return QDir::toNativeSeparators(files.first());
    folders.sort();
    for (const QString &below : folders) {
        const QString copy = depth < deepest ? firstCopyIn(below, depth + 1, entries) : QString();
        if (!copy.isEmpty())
            return copy;
    }
    return {};
}

// The copy of pedgrp.dat that a Mod Loader mod gives the game instead; empty if none does.
QString modsCopy(const QString &gameFolder, const QString &modloader)
{
    if (modloader.isEmpty() || !hasModLoader(gameFolder))
        return {};
    // Files lying in modloader itself, and mods whose name starts with ".", are never read.
    int entries = 0;
    QStringList mods;
    QDirIterator it(modloader, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext() && ++entries <= mostEntries) {
        const QFileInfo mod = it.nextFileInfo();
        if (!mod.isSymLink() && !mod.fileName().startsWith(u'.'))
            mods << mod.filePath();
    }
    mods.sort();
    for (const QString &mod : mods) {
        const QString copy = firstCopyIn(mod, 2, entries);
        if (!copy.isEmpty())
            return copy;
    }
    return {};
}

// Whether Windows is told to start the game in `gameFolder` as administrator, which many do to
// mend its saving: its writes then go where they are aimed.
bool runsAsAdministrator(const QString &gameFolder)
{
    const QString program = QDir::toNativeSeparators(platform::entry(gameFolder, programName));
    const QString layers =
        QStringLiteral("Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers");
    using platform::RegistryValue;
    for (const RegistryValue::Root root :
         {RegistryValue::CurrentUser, RegistryValue::LocalMachine, RegistryValue::LocalMachine32}) {
        const QString flags = platform::registryText({root, layers, program});
        if (flags.split(u' ', Qt::SkipEmptyParts)
                .contains(QLatin1String("RUNASADMIN"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

GameFile fileRead(const QString &dataFolder)
{
    const QString gameFolder = gameFolderOf(dataFolder);
    // The loaders' folders, from one listing of the game's folder: most games have neither.
    const QStringList folders =
        QDir(gameFolder)
            .entryList(QDir::Dirs | QDir::NoSymLinks | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDir::Name);
    const auto folderNamed = [&](const QString &name) {
        if (folders.contains(name))
            return platform::join(gameFolder, name);
        for (const QString &found : folders) {
            if (found.compare(name, Qt::CaseInsensitive) == 0)
                return platform::join(gameFolder, found);
        }
        return QString();
    };
    const QString modded = modsCopy(gameFolder, folderNamed(QStringLiteral("modloader")));
    if (!modded.isEmpty())
        return {modded, true};
    // The ASI loader opens its update folder's copy whenever the game asks for data\pedgrp.dat.
    const QString updates = folderNamed(QStringLiteral("update"));
    const QString update =
        updates.isEmpty() ? QString() : fileIn(platform::entry(updates, dataFolderName));
    const QString file = QFileInfo(update).isFile() ? update : fileIn(dataFolder);
    const QString store = platform::virtualStore(QFileInfo(file).path());
    const QString copy = store.isEmpty() ? QString() : fileIn(store);
    if (QFileInfo(copy).isFile() && !runsAsAdministrator(gameFolder))
        return {copy, false};
    return {file, false};
}

} // namespace game
