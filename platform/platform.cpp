#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

const QString gameProgramName = QStringLiteral("gta3.exe");
const QString dataFolderName = QStringLiteral("data");
const QString gameFileName = QStringLiteral("pedgrp.dat");

QString separator()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\");
#else
    return QStringLiteral("/");
#endif
}

QString native(const char *windowsPath)
{
    return QString::fromLatin1(windowsPath).replace(QLatin1Char('\\'), separator());
}

QString programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString defaultDataFolder()
{
#ifdef Q_OS_WIN
    // Quillfen runs on 64-bit Windows only, where a 32-bit game such as GTA3 installs under
    // "Program Files (x86)".
    return QStringLiteral("c:\\program files (x86)\\rockstar games\\gtaiii\\data");
#else
    // Wine's default prefix is 64-bit, and a 32-bit game installs under "Program Files (x86)".
    return QDir::homePath() +
           QStringLiteral("/.wine/drive_c/Program Files (x86)/Rockstar Games/GTAIII/data");
#endif
}

bool isWhole(const QString &folder)
{
    // Cut at a NUL, the system would take the name for another.
    if (folder.contains(QChar(0)))
        return false;
#ifdef Q_OS_WIN
    // Written out, with no regular expression: see platform.h.
    const auto isSeparator = [&folder](qsizetype at) {
        return at < folder.size() && (folder[at] == u'\\' || folder[at] == u'/');
    };
    if (folder.size() >= 3 && folder[0].isLetter() && folder[0].unicode() < 128 &&
        folder[1] == u':' && isSeparator(2))
        return true;
    if (!isSeparator(0) || !isSeparator(1))
        return false;
    qsizetype share = 2;
    while (share < folder.size() && !isSeparator(share))
        ++share;
    return share > 2 && share + 1 < folder.size() && !isSeparator(share + 1);
#else
    return folder.startsWith(QLatin1Char('/'));
#endif
}

bool isInside(const QString &path, const QString &folder)
{
    const QFileInfo info(path);
    QString real = info.canonicalFilePath();
    // A link to nowhere is judged by where it leads, as a write through it would make the file
    // there.
    if (real.isEmpty())
        real = QFileInfo(QFileInfo(info.isSymLink() ? info.symLinkTarget() : path).path())
                   .canonicalFilePath();
    QString top = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty() || top.isEmpty())
        return false;
    if (!top.endsWith(QLatin1Char('/')))
        top += QLatin1Char('/');
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity names = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity names = Qt::CaseSensitive;
#endif
    return (real + QLatin1Char('/')).startsWith(top, names);
}

QString withHome(const QString &folder)
{
#ifndef Q_OS_WIN
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/")))
        return QDir::homePath() + folder.mid(1);
#endif
    return folder;
}

QString entry(const QString &folder, const QString &name)
{
#ifndef Q_OS_WIN
    // Where names have a case, the name as asked for comes first, and takes no listing.
    if (QFileInfo::exists(folder + name) || QFileInfo(folder + name).isSymLink())
        return folder + name;
#endif
    // The name it has is kept, so that the copy kept beside the game file is named after it.
    // Compared here rather than by a name filter, which would take a regular expression.
    const QStringList names = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (names.contains(name))
        return folder + name;
    for (const QString &found : names) {
        if (found.compare(name, Qt::CaseInsensitive) == 0)
            return folder + found;
    }
    return folder + name;
}

QString entryPath(const QString &folder, std::initializer_list<QString> names)
{
    QString path = folder;
    for (const QString &name : names)
        path = entry(path + QLatin1Char('/'), name);
    return path;
}

QString gameFile(const QString &folder)
{
    return entry(folder, gameFileName);
}

#ifdef Q_OS_WIN
namespace {

// The folder of `folder`'s copies in the VirtualStore, with its separator; empty for a folder
// whose writes Windows never redirects.
QString virtualStore(const QString &folder)
{
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (!isWhole(path) || path[1] != u':')
        return {};
    bool redirected = false;
    for (const auto &[variable, usual] :
         {std::pair("ProgramFiles", "C:\\Program Files"),
          std::pair("ProgramFiles(x86)", "C:\\Program Files (x86)"),
          std::pair("SystemRoot", "C:\\Windows"), std::pair("ProgramData", "C:\\ProgramData")}) {
        const QString value = qEnvironmentVariable(variable, QLatin1String(usual));
        const QString root = QDir::cleanPath(QDir::fromNativeSeparators(value)) + u'/';
        redirected = redirected || (isWhole(value) && path.startsWith(root, Qt::CaseInsensitive));
    }
    const QString local = qEnvironmentVariable("LOCALAPPDATA");
    if (!redirected || !isWhole(local))
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(local) + QStringLiteral("/VirtualStore") +
                                    path.mid(2)) +
           u'\\';
}

} // namespace
#endif

QString gameFileRead(const QString &folder)
{
#ifdef Q_OS_WIN
    const QString store = virtualStore(folder);
    const QString copy = store.isEmpty() ? QString() : gameFile(store);
    if (QFileInfo(copy).isFile())
        return copy;
#endif
    return gameFile(folder);
}

bool deniesNewFiles(const QString &folder)
{
#ifdef Q_OS_WIN
    // Asked by making a file that goes as it is closed; where Windows denies it, nothing is made.
    const QString probe = QDir::toNativeSeparators(QDir::cleanPath(folder)) +
                          QStringLiteral("\\quillfen-%1.tmp").arg(GetCurrentProcessId());
    const HANDLE file =
        CreateFileW(reinterpret_cast<const wchar_t *>(probe.utf16()), GENERIC_WRITE, 0, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_ACCESS_DENIED;
#else
    Q_UNUSED(folder);
    return false;
#endif
}

bool startAsAdministrator(const QString &program)
{
#ifdef Q_OS_WIN
    const std::wstring file = QDir::toNativeSeparators(program).toStdWString();
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    // Whatever fails, the player is asked nothing more: the prompt was theirs to refuse.
    run.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    run.lpVerb = L"runas";
    run.lpFile = file.c_str();
    run.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&run);
#else
    Q_UNUSED(program);
    return false;
#endif
}

QString dataFolderOf(const QString &game)
{
    return entryPath(game, {dataFolderName});
}

bool holdsGame(const QString &game)
{
    return QFileInfo(entryPath(game, {gameProgramName})).isFile() &&
           QFileInfo(entryPath(game, {dataFolderName, gameFileName})).isFile();
}

QString realFolder(const QString &folder)
{
    QString real = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isDir())
        return {};
#ifdef Q_OS_WIN
    // The names as typed or stored (Steam stores its own in lower case), each taken as it is on
    // disk. The root stays: a drive letter in capitals, or \\server\share as given.
    qsizetype root = 2;
    if (real.startsWith(QLatin1String("//"))) {
        root = real.indexOf(QLatin1Char('/'), real.indexOf(QLatin1Char('/'), 2) + 1);
        if (root < 0)
            return QDir::toNativeSeparators(real);
    }
    QString onDisk = real.left(root).toUpper();
    for (const QString &name : real.mid(root).split(QLatin1Char('/'), Qt::SkipEmptyParts))
        onDisk = entry(onDisk + QLatin1Char('/'), name);
    real = onDisk;
#endif
    return QDir::toNativeSeparators(real);
}

namespace {

// The folder that the environment's `variable` names, which counts only as a whole path.
QString folderFrom(const char *variable, const QString &usual)
{
    const QString folder = qEnvironmentVariable(variable);
    return isWhole(folder) ? folder : usual;
}

} // namespace

#ifdef Q_OS_WIN
namespace {

// A text value from the registry, read without creating or opening anything for writing.
QString registryText(HKEY root, const wchar_t *key, const wchar_t *name, REGSAM view)
{
    HKEY opened;
    if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return {};
    std::vector<wchar_t> value(32768); // the longest path Windows has
    DWORD size = DWORD(value.size() * sizeof(wchar_t));
    const LSTATUS read =
        RegGetValueW(opened, nullptr, name, RRF_RT_REG_SZ, nullptr, value.data(), &size);
    RegCloseKey(opened);
    return read == ERROR_SUCCESS ? QString::fromWCharArray(value.data()) : QString();
}

} // namespace

QList<Steam> steamInstalls()
{
    // Steam writes SteamPath in lower case with "/"; the machine's key is in the 32-bit view,
    // which a 64-bit program sees only when it asks.
    const QStringList folders{
        registryText(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", 0),
        registryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Valve\\Steam", L"InstallPath",
                     KEY_WOW64_32KEY),
        folderFrom("ProgramFiles(x86)", QStringLiteral("C:\\Program Files (x86)")) + "\\Steam"};
    QList<Steam> steams;
    for (const QString &folder : folders) {
        if (isWhole(folder))
            steams.append({QDir::toNativeSeparators(folder), {}});
    }
    return steams;
}

QStringList gameFolders()
{
    // Steam, Rockstar's launcher and the 2002 installer are 32-bit programs: their keys are in
    // the machine's 32-bit view. The launcher itself installs as a 64-bit program.
    const QString x86 = folderFrom("ProgramFiles(x86)", QStringLiteral("C:\\Program Files (x86)"));
    const QString x64 = folderFrom("ProgramFiles", QStringLiteral("C:\\Program Files"));
    const QStringList folders{
        registryText(HKEY_LOCAL_MACHINE,
                     L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 12100",
                     L"InstallLocation", KEY_WOW64_32KEY),
        registryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Rockstar Games\\Grand Theft Auto III",
                     L"InstallFolder", KEY_WOW64_32KEY),
        x64 + QStringLiteral("\\Rockstar Games\\Grand Theft Auto III"),
        registryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Rockstar Games\\GTAIII", L"Path",
                     KEY_WOW64_32KEY),
        x86 + QStringLiteral("\\Rockstar Games\\GTAIII"),
        x64 + QStringLiteral("\\Rockstar Games\\GTAIII")};
    QStringList whole;
    for (const QString &folder : folders) {
        if (isWhole(folder))
            whole << folder;
    }
    return whole;
}

QList<PrefixFolder> prefixFolders(const QStringList &)
{
    return {};
}
#else
QList<Steam> steamInstalls()
{
    const QString home = QDir::homePath();
    const QString flatpak = home + QStringLiteral("/.var/app/com.valvesoftware.Steam");
    return {{home + QStringLiteral("/.steam/root"), {}},
            {home + QStringLiteral("/.steam/steam"), {}},
            {folderFrom("XDG_DATA_HOME", home + QStringLiteral("/.local/share")) +
                 QStringLiteral("/Steam"),
             {}},
            {home + QStringLiteral("/.steam/debian-installation"), {}},
            {flatpak + QStringLiteral("/.local/share/Steam"), flatpak},
            {flatpak + QStringLiteral("/data/Steam"), flatpak},
            {home + QStringLiteral("/snap/steam/common/.local/share/Steam"), {}}};
}

QStringList gameFolders()
{
    QStringList prefixes{QDir::homePath() + QStringLiteral("/.wine")};
    const QString chosen = folderFrom("WINEPREFIX", {});
    if (!chosen.isEmpty())
        prefixes.prepend(chosen);
    QStringList folders;
    for (const QString &prefix : prefixes)
        folders << gameFoldersIn(prefix);
    return folders;
}

QList<PrefixFolder> prefixFolders(const QStringList &libraries)
{
    const QString home = QDir::homePath();
    const QString data = folderFrom("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    QList<PrefixFolder> folders{
        {home + QStringLiteral("/Games"), {}}, // Lutris
        {home + QStringLiteral("/Games/Heroic/Prefixes/default"), {}},
        {data + QStringLiteral("/bottles/bottles"), {}},
        {home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles"), {}},
        {home + QStringLiteral("/.PlayOnLinux/wineprefix"), {}},
        {home + QStringLiteral("/.cxoffice"), {}}}; // CrossOver's bottles
    // A disc's copy added to Steam as a game of its own runs in a prefix of Proton's.
    for (const QString &library : libraries)
        folders.append(
            {entryPath(library, {QStringLiteral("steamapps"), QStringLiteral("compatdata")}),
             QStringLiteral("/pfx")});
    return folders;
}
#endif

QStringList gameFoldersIn(const QString &prefix)
{
    QStringList folders;
    for (const char *programFiles : {"Program Files (x86)", "Program Files"}) {
        const QString rockstar =
            entryPath(prefix, {QStringLiteral("drive_c"), QLatin1String(programFiles),
                               QStringLiteral("Rockstar Games")});
        // Rockstar's launcher's folder, then the disc installer's.
        for (const char *game : {"Grand Theft Auto III", "GTAIII"})
            folders << entryPath(rockstar, {QLatin1String(game)});
    }
    return folders;
}

bool openRegularFile(QFile &file)
{
#ifdef Q_OS_WIN
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
#else
    const QByteArray name = QFile::encodeName(file.fileName());
    if (name.isEmpty() || name.contains('\0'))
        return false;
    // O_NONBLOCK keeps open() from waiting for a FIFO's writer; the type is checked on the
    // opened descriptor so nothing can be swapped in between.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

} // namespace platform
