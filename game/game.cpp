#include "game/game.h"

#include "platform/platform.h"

#include <QFileInfo>

namespace game {

const QString programName = QStringLiteral("gta3.exe");
const QString dataFolderName = QStringLiteral("data");
const QString fileName = QStringLiteral("pedgrp.dat");

QString dataFolderOf(const QString &gameFolder)
{
    return platform::entry(gameFolder, dataFolderName);
}

bool holdsGame(const QString &gameFolder)
{
    return QFileInfo(platform::entry(gameFolder, programName)).isFile() &&
           QFileInfo(fileIn(dataFolderOf(gameFolder))).isFile();
}

QString fileIn(const QString &dataFolder)
{
    return platform::entry(dataFolder, fileName);
}

QString fileRead(const QString &dataFolder)
{
    const QString store = platform::virtualStore(dataFolder);
    const QString copy = store.isEmpty() ? QString() : fileIn(store);
    return QFileInfo(copy).isFile() ? copy : fileIn(dataFolder);
}

} // namespace game
