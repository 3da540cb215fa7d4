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
// refused.
class frmmain : public QWidget
{
    Q_OBJECT

public:
    explicit frmmain(const QString &programFolder, QWidget *parent = nullptr);
    ~frmmain() override;

    // The folder that installs write into; never shown.
    const QString &activeDataFolder() const { return Text2; }

protected:
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
    bool searching = false; // for the installed game, on a first run, while text1 is untouched
};
