// Installing a preset over the game's pedgrp.dat.

#include "pedgroups/install.h"

#include "app/frmmain.h"
#include "app/platform.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

namespace pedgroups {

namespace {

// Only a regular file (or a link to one) is the game's file; anything else found under
// its name is left alone. A replace by rename needs no write access to the file itself, so
// a game file the user made read-only would be replaced all the same; keep it, as a plain
// copy would.
bool replaceable(const QFileInfo &game)
{
    // No file has a NUL in its name; cut there, the name would be another file's.
    if (game.filePath().contains(QChar(0)))
        return false;
    if (!game.exists() && !game.isSymLink())
        return true;
    const QFileDevice::Permissions writable =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return game.isFile() && game.isWritable() && (game.permissions() & writable);
}

// Replaces or creates `target` with the bytes of `source`, whole or not at all.
bool copyFile(const QString &source, const QString &target, bool directWriteFallback)
{
    QFile from(source);
    if (!platform::openRegularFile(from))
        return false;
    QSaveFile to(target);
    to.setDirectWriteFallback(directWriteFallback);
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

// A copy kept by an earlier install is never replaced: by now the game file may hold a
// preset.
bool keepOriginal(const QFileInfo &game, const QString &copy)
{
    const QFileInfo kept(copy);
    if (kept.isFile())
        return true;
    if (kept.exists() || kept.isSymLink())
        return false;
    // The copy is a new file, so it is never written straight over anything.
    return !game.exists() || copyFile(game.filePath(), copy, false);
}

} // namespace

QString keptCopy(const QString &gameFile)
{
    return gameFile + QStringLiteral(".orig");
}

bool install(const QString &programFolder, const catalogue::PedGroup &group,
             const QString &gameFile)
{
    const QFileInfo game(gameFile);
    const QString copy = keptCopy(gameFile);
    if (!replaceable(game) || !keepOriginal(game, copy))
        return false;
    const bool restore = &group == &catalogue::pedGroups.front() && QFileInfo(copy).isFile();
    const QString preset = restore ? copy : catalogue::presetPath(programFolder, group);
    // A data folder that allows no new files but a writable pedgrp.dat is still installed
    // into, by writing straight onto the file, once its copy is kept.
    return copyFile(preset, gameFile, true);
}

} // namespace pedgroups

void frmmain::installClick()
{
    if (save->isEnabled()) {
        QMessageBox::information(this, QString(),
                                 QStringLiteral("Please Set GTA3 Peds Group File First"));
        return;
    }

    const catalogue::PedGroup &group = catalogue::lookup(List1->currentText());
    const QString gameFile = platform::gameFile(Text2 + platform::separator());
    if (!pedgroups::install(programFolder, group, gameFile))
        return;

    // Name what went in, which for an unknown text is the default group.
    Status->setText(QStringLiteral("'%1' Installed").arg(QLatin1String(group.label)));
}
