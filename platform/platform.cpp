#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {
const QString gameFileName = QStringLiteral("pedgrp.dat");
}

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
    static const QRegularExpression whole(
        QStringLiteral(R"(^([A-Za-z]:[\\/]|[\\/]{2}[^\\/]+[\\/][^\\/]))"));
    return whole.match(folder).hasMatch();
#else
    return folder.startsWith(QLatin1Char('/'));
#endif
}

bool isInside(const QString &path, const QString &folder)
{
    const QFileInfo info(path);
    QString real = info.canonicalFilePath();
    if (real.isEmpty())
        real = QFileInfo(info.path()).canonicalFilePath();
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

QString gameFile(const QString &folder)
{
    // The game opens its files whatever the case of their names, on Windows and under Wine
    // alike, so "PEDGRP.DAT" is the game's file too. The name it has is kept, so that the copy
    // kept beside it is named after it. Name filters match case-insensitively; no letter of
    // the name has a non-ASCII case variant, so this is an ASCII-case match.
    const QStringList names = QDir(folder).entryList(
        {gameFileName}, QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
    if (names.isEmpty() || names.contains(gameFileName))
        return folder + gameFileName;
    return folder + names.first();
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
