#pragma once

#include <QString>
#include <QWidget>

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
// refused. The window shows at once, and what start-up reads of the player's folders comes in
// once read, unless the player has acted by then: on a first run the installed game's data
// folder, offered in the folder box; otherwise, for a saved folder that is gone, a first run's
// state and offer, and for one whose game holds a preset, that group in the status line and the
// list. A game's folder, gta3.exe or pedgrp.dat dropped on the window goes into the folder box
// as if typed.
class frmmain : public QWidget
{
    Q_OBJECT

public:
    explicit frmmain(const QString &programFolder, QWidget *parent = nullptr);

    // The folder that installs write into; never shown.
    const QString &activeDataFolder() const { return Text2; }

    // Whether what start-up reads of the player's folders is yet to come in.
    bool startingUp() const { return startDue || pending > 0; }

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
    void findGame();
    // Runs `work` off the event thread, then `done` with its result on it.
    template <class Work, class Done> void beside(Work work, Done done);
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
    bool startDue = false;   // until the window is first drawn
    int pending = 0;         // then what is being read beside it
    bool acted = false;      // the player has saved, installed or edited since start-up
    bool offerFound = false; // the game found goes into text1, which the player has not touched
};
