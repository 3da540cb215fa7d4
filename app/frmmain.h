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
// Whether a folder is saved is carried by the save button itself: disabled with caption
// "Saved" while the folder in text1 is the checked one, enabled with "Save" otherwise.
class frmmain : public QWidget
{
    Q_OBJECT

public:
    explicit frmmain(const QString &programFolder, QWidget *parent = nullptr);

    // The folder that installs write into; never shown.
    const QString &activeDataFolder() const { return Text2; }

private slots:
    void saveClick();
    void installClick();
    void text1Change();

private:
    void load();
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
};
