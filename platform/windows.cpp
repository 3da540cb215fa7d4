// Windows: paths from a drive or a share, names without a case, the registry, and administrator
// rights with their prompt and their VirtualStore.

#include "platform/platform.h"
#include "platform/system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace platform {

bool isWhole(const QString &folder)
{
    // Cut at a NUL, the system would take the name for another. Written out, with no regular
    // expression: see platform.h.
    if (folder.contains(QChar(0)))
        return false;
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
}

bool namesHaveCase()
{
    return false;
}

QString withHome(const QString &folder)
{
    return folder;
}

QString realFolder(const QString &folder)
{
    const QString real = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isDir())
        return {};
    // The names as typed or stored (Steam stores its own in lower case), each taken as it is on
    // disk. The root stays: a drive letter in capitals, or \\server\share as given.
    qsizetype root = 2;
    if (real.startsWith(QLatin1String("//"))) {
        root = real.indexOf(u'/', real.indexOf(u'/', 2) + 1);
        if (root < 0)
            return QDir::toNativeSeparators(real);
    }
    QString onDisk = real.left(root).toUpper();
    for (const QString &name : real.mid(root).split(u'/', Qt::SkipEmptyParts))
        onDisk = entry(onDisk + u'/', name);
    return QDir::toNativeSeparators(onDisk);
}

QStringList programFiles()
{
    // Quillfen is a 64-bit program: ProgramFiles names the 64-bit programs' folder.
    return {folderFrom("ProgramFiles(x86)", QStringLiteral("C:\\Program Files (x86)")),
            folderFrom("ProgramFiles", QStringLiteral("C:\\Program Files"))};
}

QString virtualStore(const QString &folder)
{
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (!isWhole(path) || path[1] != u':')
        return {};
    QStringList redirected = programFiles();
    redirected << folderFrom("SystemRoot", QStringLiteral("C:\\Windows"))
               << folderFrom("ProgramData", QStringLiteral("C:\\ProgramData"));
    bool inside = false;
    for (const QString &root : redirected)
        inside = inside || (path + u'/')
                               .startsWith(QDir::cleanPath(QDir::fromNativeSeparators(root)) + u'/',
                                           Qt::CaseInsensitive);
    const QString local = folderFrom("LOCALAPPDATA");
    if (!inside || local.isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(local) + QStringLiteral("/VirtualStore") +
                                    path.mid(2));
}

bool openRegularFile(QFile &file)
{
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
}

bool deniesNewFiles(const QString &folder)
{
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
}

namespace system {

QString registryText(const RegistryValue &value)
{
    // Read without creating or opening anything for writing.
    const HKEY root =
        value.root == RegistryValue::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const REGSAM view = value.root == RegistryValue::LocalMachine32 ? KEY_WOW64_32KEY : 0;
    HKEY opened;
    if (RegOpenKeyExW(root, reinterpret_cast<const wchar_t *>(value.key.utf16()), 0,
                      KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return {};
    std::vector<wchar_t> text(32768); // the longest path Windows has
    DWORD size = DWORD(text.size() * sizeof(wchar_t));
    const LSTATUS read =
        RegGetValueW(opened, nullptr, reinterpret_cast<const wchar_t *>(value.name.utf16()),
                     RRF_RT_REG_SZ, nullptr, text.data(), &size);
    RegCloseKey(opened);
    return read == ERROR_SUCCESS ? QString::fromWCharArray(text.data()) : QString();
}

bool isElevated()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = sizeof elevation;
    const bool asked =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return asked && elevation.TokenIsElevated;
}

Start startAsAdministrator(const QString &program)
{
    const std::wstring file = QDir::toNativeSeparators(program).toStdWString();
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    // Whatever fails, Windows shows nothing of its own: the window says so.
    run.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    run.lpVerb = L"runas";
    run.lpFile = file.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&run))
        return Start::Started;
    return GetLastError() == ERROR_CANCELLED ? Start::Refused : Start::Failed;
}

} // namespace system

} // namespace platform
