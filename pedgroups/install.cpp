// Installing a preset over the game's pedgrp.dat.

#include "pedgroups/install.h"

#include "app/frmmain.h"
#include "app/platform.h"
#include "pedgroups/catalogue.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

namespace pedgroups {

bool installPreset(const QString &preset, const QString &target)
{
    QFile source(preset);
    if (!platform::openRegularFile(source))
        return false;

    // Only a regular file (or a link to one) is the game's file; anything else found
    // under its name is left alone.
    const QFileInfo existing(target);
    if ((existing.exists() || existing.isSymLink()) && !existing.isFile())
        return false;
    // A replace by rename needs no write access to the file itself, so a game file the
    // user made read-only would be replaced all the same; keep it, as a plain copy would.
    const QFileDevice::Permissions writable =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (existing.isFile() && (!existing.isWritable() || !(existing.permissions() & writable)))
        return false;

    QSaveFile file(target);
    // A data folder that allows no new files but a writable pedgrp.dat is still installed
    // into, by writing straight onto the file.
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a short write shows in write()'s count (see settingfile::write).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 count = source.read(chunk, sizeof chunk);
        if (count == 0)
            break;
        // Without a commit the temporary file is dropped and the game file stays.
        if (count < 0 || file.write(chunk, count) != count)
            return false;
    }
    return file.commit();
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
    const QString preset = catalogue::presetPath(programFolder, group);
    const QString target = platform::gameFile(Text2 + platform::separator());
    if (!pedgroups::installPreset(preset, target))
        return;

    // Name what went in, which for an unknown text is the default group.
    Status->setText(QStringLiteral("'%1' Installed").arg(QLatin1String(group.label)));
}
