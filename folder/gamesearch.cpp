#include "gamesearch.h"

#include "folder/keyvalues.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace gamesearch {

namespace {

// Far longer than any listing or manifest Steam writes; a longer file is not one of them.
constexpr qint64 longestFile = 1 << 20;

// The original GTA3's Steam app.
const QString manifest = QStringLiteral("appmanifest_12100.acf");
const QString usualFolder = QStringLiteral("Grand Theft Auto 3");

keyvalues::Node readSteamFile(const QString &path)
{
    QFile file(path);
    if (!platform::openRegularFile(file))
        return {};
    const QByteArray text = file.read(longestFile + 1);
    return text.size() > longestFile ? keyvalues::Node() : keyvalues::parse(text);
}

// The data folder of the game in `game`, if it holds one.
QString dataFolderIn(const QString &game)
{
    const QString data = platform::entry(game + QLatin1Char('/'), QStringLiteral("data"));
    const bool isGame =
        QFileInfo(platform::entry(game + QLatin1Char('/'), QStringLiteral("gta3.exe"))).isFile() &&
        QFileInfo(platform::gameFile(data + QLatin1Char('/'))).isFile();
    return isGame ? QDir::toNativeSeparators(data) : QString();
}

QString gameInLibrary(const QString &library)
{
    const QString common = library + QStringLiteral("/steamapps/common/");
    // A name of one folder, never a way out of the library.
    const QString installed = readSteamFile(library + QStringLiteral("/steamapps/") + manifest)
                                  .text({u"AppState", u"installdir"});
    const bool plain = !installed.isEmpty() && installed != QLatin1String(".") &&
                       installed != QLatin1String("..") && !installed.contains(QLatin1Char('/')) &&
                       !installed.contains(QLatin1Char('\\')) && !installed.contains(QChar(0));
    // Most manifests name the usual folder, which is then looked into once.
    const QString found =
        plain && installed != usualFolder ? dataFolderIn(common + installed) : QString();
    return !found.isEmpty() ? found : dataFolderIn(common + usualFolder);
}

// The libraries `steam` lists: its own folder, then each that its listings name, in both the
// shape before mid-2021 ("1" "path") and the later ones ("1" { "path" "..." }).
QStringList librariesOf(const platform::Steam &steam)
{
    const QString home = QDir::homePath() + QLatin1Char('/');
    QStringList libraries{steam.folder};
    for (const char *listing : {"/config/libraryfolders.vdf", "/steamapps/libraryfolders.vdf"}) {
        const keyvalues::Node file = readSteamFile(steam.folder + QLatin1String(listing));
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

} // namespace

QString installedGame()
{
    // Most of Steam's usual places link to one another: each real folder is read once.
    QSet<QString> steamsRead, librariesSearched;
    const auto firstTime = [](QSet<QString> &seen, const QString &folder) {
        if (!platform::isWhole(folder))
            return false;
        const QString real = QFileInfo(folder).canonicalFilePath();
        if (real.isEmpty() || seen.contains(real))
            return false;
        seen.insert(real);
        return true;
    };
    for (const platform::Steam &steam : platform::steamInstalls()) {
        if (!firstTime(steamsRead, steam.folder))
            continue;
        for (const QString &library : librariesOf(steam)) {
            if (!firstTime(librariesSearched, library))
                continue;
            const QString found = gameInLibrary(library);
            if (!found.isEmpty())
                return found;
        }
    }
    for (const QString &game : platform::discInstalls()) {
        const QString found = dataFolderIn(game);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace gamesearch
