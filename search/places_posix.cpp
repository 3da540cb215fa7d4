#include "search/places.h"

#include "platform/platform.h"

#include <QDir>

namespace places {

QString usualDataFolder()
{
    // Wine's default prefix is 64-bit, and a 32-bit game installs under "Program Files (x86)".
    return QDir::homePath() +
           QStringLiteral("/.wine/drive_c/Program Files (x86)/Rockstar Games/GTAIII/data");
}

QList<Steam> steams()
{
    const QString home = QDir::homePath();
    const QString flatpak = home + QStringLiteral("/.var/app/com.valvesoftware.Steam");
    const QString data = platform::folderFrom("XDG_DATA_HOME", home + "/.local/share");
    return {{home + QStringLiteral("/.steam/root"), {}},
            {home + QStringLiteral("/.steam/steam"), {}},
            {data + QStringLiteral("/Steam"), {}},
            {home + QStringLiteral("/.steam/debian-installation"), {}},
            {flatpak + QStringLiteral("/.local/share/Steam"), flatpak},
            {flatpak + QStringLiteral("/data/Steam"), flatpak},
            {home + QStringLiteral("/snap/steam/common/.local/share/Steam"), {}}};
}

QStringList recordedGames()
{
    return {};
}

QStringList prefixes()
{
    QStringList prefixes{QDir::homePath() + QStringLiteral("/.wine")};
    const QString chosen = platform::folderFrom("WINEPREFIX");
    if (!chosen.isEmpty())
        prefixes.prepend(chosen);
    return prefixes;
}

QList<PrefixFolder> prefixFolders(const QStringList &libraries)
{
    const QString home = QDir::homePath();
    const QString data = platform::folderFrom("XDG_DATA_HOME", home + "/.local/share");
    QList<PrefixFolder> folders{
        {home + QStringLiteral("/Games"), {}}, // Lutris
        {home + QStringLiteral("/Games/Heroic/Prefixes/default"), {}},
        {data + QStringLiteral("/bottles/bottles"), {}},
        {home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles"), {}},
        {home + QStringLiteral("/.PlayOnLinux/wineprefix"), {}},
        {home + QStringLiteral("/.cxoffice"), {}}}; // CrossOver's bottles
    // A disc's copy added to Steam as a game of its own runs in a prefix of Proton's.
    for (const QString &library : libraries)
        folders.append({platform::entryPath(
                            library, {QStringLiteral("steamapps"), QStringLiteral("compatdata")}),
                        QStringLiteral("/pfx")});
    return folders;
}

} // namespace places
