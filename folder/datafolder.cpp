#include "datafolder.h"

#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace datafolder {

namespace {

bool holdsGameFile(const QString &folder)
{
    if (!platform::isWhole(folder))
        return false;
    QFile gameFile(platform::gameFile(folder));
    return platform::openRegularFile(gameFile);
}

QString cleaned(const QString &typed)
{
    static const QRegularExpression around(QStringLiteral("^[ \\t\\r\\n]+|[ \\t\\r\\n]+$"));
    QString folder = typed;
    folder.remove(around);
    // Explorer's "Copy as path" quotes the path; no Windows file name holds a quote.
    if (folder.size() >= 2 && folder.startsWith(QLatin1Char('"')) &&
        folder.endsWith(QLatin1Char('"')))
        folder = folder.mid(1, folder.size() - 2);
    return platform::withHome(folder);
}

enum class GamePath { None, GameFolder, GameFile, Program };

// What `path` is of the game's: any folder may be its game folder.
GamePath kindOf(const QFileInfo &path)
{
    if (path.isDir())
        return GamePath::GameFolder;
    if (!path.isFile())
        return GamePath::None;
    const QString name = path.fileName();
    if (name.compare(QLatin1String("pedgrp.dat"), Qt::CaseInsensitive) == 0)
        return GamePath::GameFile;
    if (name.compare(QLatin1String("gta3.exe"), Qt::CaseInsensitive) == 0)
        return GamePath::Program;
    return GamePath::None;
}

// The data folder, with its separator, that `path` points at as the game's folder, gta3.exe or
// pedgrp.dat.
QString dataFolderFor(const QString &path)
{
    const QFileInfo info(path);
    const QString sep = platform::separator();
    const QString data = QStringLiteral("data");
    switch (kindOf(info)) {
    case GamePath::GameFolder:
        return platform::entry(QDir::toNativeSeparators(QDir::cleanPath(path)) + sep, data) + sep;
    case GamePath::GameFile:
        return QDir::toNativeSeparators(info.path()) + sep;
    case GamePath::Program:
        return platform::entry(QDir::toNativeSeparators(info.path()) + sep, data) + sep;
    case GamePath::None:
        break;
    }
    return {};
}

} // namespace

std::optional<QString> check(const QString &typed)
{
    // As typed first: on Linux a folder's name may end in a blank.
    const QString asTyped = typed + platform::separator();
    if (holdsGameFile(asTyped))
        return asTyped;
    // Looked for again only when cleaning changed something.
    const QString clean = cleaned(typed);
    if (clean != typed && holdsGameFile(clean + platform::separator()))
        return clean + platform::separator();
    const QString data = dataFolderFor(clean);
    if (!data.isEmpty() && holdsGameFile(data))
        return data;
    return std::nullopt;
}

bool pointsAtGame(const QString &path)
{
    return kindOf(QFileInfo(path)) != GamePath::None;
}

} // namespace datafolder
