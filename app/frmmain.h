#pragma once

#include "app/startup.h"

#include <QString>
#include <QWidget>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The program's one window: the game's data folder with Save, the ped groups with Install,
// and a status line.
//
// While the folder in text1 is the one checked and saved, Save is disabled with caption
// "Saved", and installs go into it; otherwise Save is enabled with "Save", and installs are
// refused. The window shows at once, and what start-up reads of the player's folders
// (startup::read()) comes in once read, unless the player has saved, installed or edited since:
// on a first run the installed game's data folder, offered in the folder box; otherwise, for a
// saved folder that is gone, a first run's state and offer, and for one whose game holds a
// preset, that group in the status line and, while the player has chosen none, in the list. A
// game's folder, gta3.exe or pedgrp.dat dropped on the window goes into the folder box as if
// typed.
class frmmain : public QWidget
{
    Q_OBJECT

public:
    // What start-up reads of the player's folders, off the event thread.
    using StartupRead = std::function<startup::Answer(const startup::Question &)>;

    explicit frmmain(const QString &programFolder, StartupRead startupRead = startup::read,
                     QWidget *parent = nullptr);

    // The folder that installs write into; never shown.
    const QString &activeDataFolder() const { return Text2; }

    // Whether what start-up reads of the player's folders is yet to come in.
    bool startingUp() const { return readDue || reading; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void saveClick();
    void installClick();
    void text1Change();

private:
    void load();
    void readBeside();
    void startupAnswered(const startup::Answer &answer);
    void setSaved(bool saved);
    void failSave(const QString &message);
    void askForAdministrator();

    const QString programFolder;

    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *text1;
    QPushButton *save;
    QLabel *Label2;
    QComboBox *List1;
    QPushButton *install;
    QLabel *Status;
    QString Text2;
    bool folderSaved = false;

    const StartupRead startupRead;
    bool readDue = false; // until the window is first drawn
    bool reading = false; // then until the answer is in
    // Counts the player's saves, installs and edits: an answer asked before one is dropped.
    int generation = 0;
    int askedIn = 0;
};
