#include "search/places.h"

#include "platform/platform.h"

#include <QDir>

namespace places {

using platform::RegistryValue;

QString usualDataFolder()
{
    // Quillfen runs on 64-bit Windows only, where a 32-bit game such as GTA3 installs under
    // "Program Files (x86)".
    return QStringLiteral("c:\\program files (x86)\\rockstar games\\gtaiii\\data");
}

namespace {

QStringList wholeTexts(std::initializer_list<RegistryValue> values)
{
    QStringList texts;
    for (const RegistryValue &value : values) {
        const QString text = platform::registryText(value);
        if (platform::isWhole(text))
            texts << QDir::toNativeSeparators(text);
    }
    return texts;
}

} // namespace

QList<Steam> steams()
{
    // Steam writes SteamPath in lower case with "/"; Steam, the launcher and the installer are
    // 32-bit programs, whose keys of the machine's are in its 32-bit view.
    QList<Steam> steams;
    for (const QString &folder :
         wholeTexts({{RegistryValue::CurrentUser, "Software\\Valve\\Steam", "SteamPath"},
                     {RegistryValue::LocalMachine32, "SOFTWARE\\Valve\\Steam", "InstallPath"}}))
        steams.append({folder, {}});
    steams.append({platform::join(platform::programFiles().constFirst(), "Steam"), {}});
    return steams;
}

QStringList recordedGames()
{
    return wholeTexts(
        {{RegistryValue::LocalMachine32,
          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 12100",
          "InstallLocation"},
         {RegistryValue::LocalMachine32, "SOFTWARE\\Rockstar Games\\Grand Theft Auto III",
          "InstallFolder"},
         {RegistryValue::LocalMachine32, "SOFTWARE\\Rockstar Games\\GTAIII", "Path"}});
}

QStringList prefixes()
{
    return {};
}

QList<PrefixFolder> prefixFolders(const QStringList &)
{
    return {};
}

} // namespace places
