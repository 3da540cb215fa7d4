// Saving the game's data folder, and re-arming Save when the folder text changes.

#include "app/frmmain.h"

#include "app/platform.h"
#include "folder/settingfile.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

void frmmain::saveClick()
{
    // The separator goes on unconditionally, and the box shows it at once.
    text1->setText(text1->text() + platform::separator());

    {
        QFile gameFile(platform::gameFile(text1->text()));
        if (!platform::openRegularFile(gameFile)) {
            failSave(QStringLiteral("Error! Incorrect Path. Please Correct This Problem."));
            return;
        }
    }

    Text2 = text1->text();
    Status->setText(QStringLiteral("Path Set. Please Select Your Peds"));
    save->setEnabled(false);
    save->setText(QStringLiteral("Saved"));

    if (!settingfile::write(programFolder, text1->text())) {
        // The folder itself was right: send the user to the setting folder instead.
        failSave(
            QStringLiteral("Error! Could Not Store The Data Folder. Please Check The %1 Folder.")
                .arg(platform::native("configs\\path")));
    }
}

void frmmain::failSave(const QString &message)
{
    QMessageBox::critical(this, QStringLiteral("Error"), message);
    text1->setText(QString());
    save->setEnabled(true);
    save->setText(QStringLiteral("Save"));
}

void frmmain::text1Change()
{
    if (save->text() == QLatin1String("Saved")) {
        save->setText(QStringLiteral("Save"));
        save->setEnabled(true);
    }
}
