// What every system shares: joining names, finding one in any case, and replacing a file whole.

#include "platform/platform.h"
#include "platform/system.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

QString native(const char *windowsPath)
{
    return QDir::toNativeSeparators(QString::fromLatin1(windowsPath).replace(u'\\', u'/'));
}

QString programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString configsFolder(const QString &programFolder)
{
    return join(programFolder, QStringLiteral("configs"));
}

bool isInside(const QString &path, const QString &folder)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    QString top = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty() || top.isEmpty())
        return false;
    if (!top.endsWith(u'/'))
        top += u'/';
    return (real + u'/').startsWith(top, namesHaveCase() ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

QString join(const QString &folder, const QString &name)
{
    const bool ends = folder.endsWith(QDir::separator()) || folder.endsWith(u'/');
    return ends ? folder + name : folder + QDir::separator() + name;
}

QString entry(const QString &folder, const QString &name)
{
    const QString asAsked = join(folder, name);
    // The name as asked for takes no listing. Where names have no case it would stand for any
    // spelling, and the one on disk is wanted: the kept copy is named after it.
    if (namesHaveCase() && (QFileInfo::exists(asAsked) || QFileInfo(asAsked).isSymLink()))
        return asAsked;
    // Compared here rather than by a name filter, which would take a regular expression.
    const QStringList names = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (names.contains(name))
        return asAsked;
    for (const QString &found : names) {
        if (found.compare(name, Qt::CaseInsensitive) == 0)
            return join(folder, found);
    }
    return asAsked;
}

QString entryPath(const QString &folder, std::initializer_list<QString> names)
{
    QString path = folder;
    for (const QString &name : names)
        path = entry(path, name);
    return path;
}

QString folderFrom(const char *variable, const QString &usual)
{
    const QString folder = qEnvironmentVariable(variable);
    return isWhole(folder) ? folder : usual;
}

bool replaceWith(const QString &target, QIODevice &from)
{
    QSaveFile to(target);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered
    // QSaveFile can commit a truncated file as a success.
    if (!to.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 count = from.read(chunk, sizeof chunk);
        if (count == 0)
            break;
        // Without a commit the temporary file is dropped and the target stays as it was.
        if (count < 0 || to.write(chunk, count) != count)
            return false;
    }
    return to.commit();
}

StandIns &standIns()
{
    static StandIns standIns;
    return standIns;
}

QString registryText(const RegistryValue &value)
{
    return standIns().registry ? standIns().registry(value) : system::registryText(value);
}

bool isElevated()
{
    return standIns().elevated ? standIns().elevated() : system::isElevated();
}

Start startAsAdministrator(const QString &program)
{
    return standIns().start ? standIns().start(program) : system::startAsAdministrator(program);
}

} // namespace platform
