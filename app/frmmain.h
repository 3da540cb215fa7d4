#pragma once

#include <QPointer>
#include <QString>
#include <QThread>
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
// refused. On a first run the folder box offers the installed game's data folder, found beside
// the window, unless the player has written in it by then; a game's folder, gta3.exe or
// pedgrp.dat dropped on the window goes into the folder box as if typed.
class frmmain : public QWidget
{
    Q_OBJECT

public:
    explicit frmmain(const QString &programFolder, QWidget *parent = nullptr);

    // The folder that installs write into; never shown.
    const QString &activeDataFolder() const { return Text2; }

    // Whether the first run's search for the installed game is yet to end.
    bool searchingForGame() const { return searchDue || search; }

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
    void findGame();
    void setSaved(bool saved);
    void failSave(const QString &message);

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
    bool searchDue = false;   // on a first run, until the window is first drawn
    QPointer<QThread> search; // then while it runs
    bool offerFound = false;  // what it finds goes into text1, which the player has not touched
};
