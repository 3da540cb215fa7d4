#include "datafolder.h"

#include "game/game.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace datafolder {

namespace {

bool holdsGameFile(const QString &folder)
{
    if (!platform::isWhole(folder))
        return false;
    QFile gameFile(game::fileIn(folder));
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
    // Some file managers copy a folder as its address: file:///home/me/My%20Games.
    const QUrl url(folder);
    if (folder.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) && url.isLocalFile())
        return QDir::toNativeSeparators(url.toLocalFile());
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
    if (name.compare(game::fileName, Qt::CaseInsensitive) == 0)
        return GamePath::GameFile;
    if (name.compare(game::programName, Qt::CaseInsensitive) == 0)
        return GamePath::Program;
    return GamePath::None;
}

// The data folder, with its separator, that `path` points at as the game's folder, gta3.exe or
// pedgrp.dat.
QString dataFolderFor(const QString &path)
{
    const QFileInfo info(path);
    const QString sep = QDir::separator();
    switch (kindOf(info)) {
    case GamePath::GameFolder:
        return QDir::toNativeSeparators(game::dataFolderOf(QDir::cleanPath(path))) + sep;
    case GamePath::GameFile:
        return QDir::toNativeSeparators(info.path()) + sep;
    case GamePath::Program:
        return QDir::toNativeSeparators(game::dataFolderOf(info.path())) + sep;
    case GamePath::None:
        break;
    }
    return {};
}

} // namespace

std::optional<QString> check(const QString &typed)
{
    // As typed first: on Linux a folder's name may end in a blank.
    const QString asTyped = typed + QDir::separator();
    if (holdsGameFile(asTyped))
        return asTyped;
    // Looked for again only when cleaning changed something.
    const QString clean = cleaned(typed);
    if (clean != typed && holdsGameFile(clean + QDir::separator()))
        return clean + QDir::separator();
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
