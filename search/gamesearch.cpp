#include "gamesearch.h"

#include "game/game.h"
#include "platform/platform.h"
#include "search/keyvalues.h"
#include "search/places.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace gamesearch {

namespace {

// Far longer than any listing or manifest Steam writes; a longer file is not one of them.
constexpr qint64 longestFile = 1 << 20;
// Far more prefixes than anyone keeps in one folder; the rest of a larger one is not looked at.
constexpr int mostPrefixes = 300;

// The original GTA3's Steam app.
const QString manifest = QStringLiteral("appmanifest_12100.acf");
const QString usualFolder = QStringLiteral("Grand Theft Auto 3");
const QString steamapps = QStringLiteral("steamapps");

keyvalues::Node readSteamFile(const QString &path)
{
    QFile file(path);
    if (!platform::openRegularFile(file))
        return {};
    const QByteArray text = file.read(longestFile + 1);
    return text.size() > longestFile ? keyvalues::Node() : keyvalues::parse(text);
}

// The data folder of the game in `game`, as offered; empty if it holds none.
QString dataFolderIn(const QString &game)
{
    return game::holdsGame(game) ? platform::realFolder(game::dataFolderOf(game)) : QString();
}

QString gameInLibrary(const QString &library)
{
    const QString common = platform::entryPath(library, {steamapps, QStringLiteral("common")});
    // A name of one folder, never a way out of the library.
    const QString installed = readSteamFile(platform::entryPath(library, {steamapps, manifest}))
                                  .text({u"AppState", u"installdir"});
    const bool plain = !installed.isEmpty() && installed != QLatin1String(".") &&
                       installed != QLatin1String("..") && !installed.contains(QLatin1Char('/')) &&
                       !installed.contains(QLatin1Char('\\')) && !installed.contains(QChar(0));
    // Most manifests name the usual folder, which is then looked into once.
    const QString found = plain && installed.compare(usualFolder, Qt::CaseInsensitive) != 0
                              ? dataFolderIn(platform::entryPath(common, {installed}))
                              : QString();
    return !found.isEmpty() ? found : dataFolderIn(platform::entryPath(common, {usualFolder}));
}

// The libraries `steam` lists: its own folder, then each that its listings name, in both the
// shape before mid-2021 ("1" "path") and the later ones ("1" { "path" "..." }).
QStringList librariesOf(const places::Steam &steam)
{
    const QString home = QDir::homePath() + QLatin1Char('/');
    QStringList libraries{steam.folder};
    const QString config = QStringLiteral("config"), listing = QStringLiteral("libraryfolders.vdf");
    for (const QString &path : {platform::entryPath(steam.folder, {config, listing}),
                                platform::entryPath(steam.folder, {steamapps, listing})}) {
        const keyvalues::Node file = readSteamFile(path);
        const keyvalues::Node *folders = file.child(u"libraryfolders");
        if (!folders)
            continue;
        for (const keyvalues::Node &library : folders->children) {
            // Older listings hold other keys beside the numbered ones.
            bool numbered = false;
            library.key.toUInt(&numbered);
            const QString path = library.block ? library.text({u"path"}) : library.value;
            if (!numbered || path.isEmpty())
                continue;
            if (!steam.sandboxHome.isEmpty() && path.startsWith(home))
                libraries << steam.sandboxHome + QLatin1Char('/') + path.mid(home.size());
            libraries << path;
        }
    }
    return libraries;
}

// The first entries of `folder`, without a walk below them.
QStringList firstEntries(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.size() < mostPrefixes && it.hasNext())
        entries << it.next();
    return entries;
}

// Where Rockstar's launcher, then the disc's installer, put the game under each of
// `programFiles`, on Windows and in a Wine prefix alike.
QStringList rockstarFolders(const QStringList &programFiles)
{
    QStringList folders;
    for (const QString &root : programFiles) {
        const QString rockstar = platform::entry(root, QStringLiteral("Rockstar Games"));
        for (const char *game : {"Grand Theft Auto III", "GTAIII"})
            folders << platform::entry(rockstar, QLatin1String(game));
    }
    return folders;
}

QStringList rockstarFoldersIn(const QString &prefix)
{
    const QString drive = platform::entry(prefix, QStringLiteral("drive_c"));
    return rockstarFolders({platform::entry(drive, QStringLiteral("Program Files (x86)")),
                            platform::entry(drive, QStringLiteral("Program Files"))});
}

} // namespace

QString installedGame()
{
    // Most of Steam's usual places link to one another: each real folder is read once.
    QSet<QString> steamsRead, librariesSearched;
    QStringList libraries;
    const auto firstTime = [](QSet<QString> &seen, const QString &folder) {
        if (!platform::isWhole(folder))
            return false;
        const QString real = QFileInfo(folder).canonicalFilePath();
        if (real.isEmpty() || seen.contains(real))
            return false;
        seen.insert(real);
        return true;
    };
    for (const places::Steam &steam : places::steams()) {
        if (!firstTime(steamsRead, steam.folder))
            continue;
        for (const QString &library : librariesOf(steam)) {
            if (!firstTime(librariesSearched, library))
                continue;
            libraries << library;
            const QString found = gameInLibrary(library);
            if (!found.isEmpty())
                return found;
        }
    }
    // Each place is looked into only when none before it held the game.
    QString found;
    const auto lookIn = [&found](const QStringList &games) {
        for (const QString &game : games) {
            found = dataFolderIn(game);
            if (!found.isEmpty())
                return true;
        }
        return false;
    };
    if (lookIn(places::recordedGames()) || lookIn(rockstarFolders(platform::programFiles())))
        return found;
    for (const QString &prefix : places::prefixes()) {
        if (lookIn(rockstarFoldersIn(prefix)))
            return found;
    }
    for (const places::PrefixFolder &prefixes : places::prefixFolders(libraries)) {
        for (const QString &prefix : firstEntries(prefixes.folder)) {
            if (lookIn(rockstarFoldersIn(prefix + prefixes.below)))
                return found;
        }
    }
    return {};
}

} // namespace gamesearch
