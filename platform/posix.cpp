// The POSIX systems, where the game runs under Wine or Proton: "/" paths from "/", names with a
// case, no registry and no administrator's prompt.

#include "platform/platform.h"
#include "platform/system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool isWhole(const QString &folder)
{
    // Cut at a NUL, the system would take the name for another.
    return folder.startsWith(u'/') && !folder.contains(QChar(0));
}

bool namesHaveCase()
{
    return true;
}

QString withHome(const QString &folder)
{
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/")))
        return QDir::homePath() + folder.mid(1);
    return folder;
}

QString realFolder(const QString &folder)
{
    const QString real = QFileInfo(folder).canonicalFilePath();
    return !real.isEmpty() && QFileInfo(real).isDir() ? real : QString();
}

QStringList programFiles()
{
    return {};
}

QString virtualStore(const QString &)
{
    return {};
}

bool openRegularFile(QFile &file)
{
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
}

bool deniesNewFiles(const QString &)
{
    return false;
}

namespace system {

QString registryText(const RegistryValue &)
{
    return {};
}

bool isElevated()
{
    return false;
}

Start startAsAdministrator(const QString &)
{
    return Start::Failed;
}

} // namespace system

} // namespace platform
