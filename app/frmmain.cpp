#include "frmmain.h"

#include "folder/datafolder.h"
#include "folder/settingfile.h"
#include "pedgroups/catalogue.h"
#include "pedgroups/install.h"
#include "platform/platform.h"
#include "search/places.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QThread>

#include <limits>
#include <memory>

namespace {

const QString pleaseSetTheFolder = QStringLiteral("Please Set The GTA3 Data Folder");
const QString pathSet = QStringLiteral("Path Set. Please Select Your Peds");
const QString error = QStringLiteral("Error");

// The layout is drawn in twips, 15 to a pixel at 96 dots per inch.
constexpr int px(int twips)
{
    return twips / 15;
}

QRect twips(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// Controls take this explicitly, since they would otherwise inherit the frame's Verdana.
QFont dialogFont()
{
    QFont font = QApplication::font();
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

QFont verdana(qreal points)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

// The status line is centred on the spot it was drawn at.
constexpr int statusCentre = px(1800 + 795 / 2);

QLabel *autoSizedLabel(const QString &caption, int left, int top, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setFont(verdana(8.25));
    label->move(px(left), px(top));
    label->adjustSize();
    return label;
}

QPushButton *button(const QString &caption, const QRect &geometry, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    button->setFont(verdana(9));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// `path`, inside `programFolder`, as a player finds it there: "configs\\path".
QString fromProgramFolder(const QString &programFolder, const QString &path)
{
    return QDir::toNativeSeparators(QDir(programFolder).relativeFilePath(path));
}

// What a player can mend after an install of `group` failed so.
QString whatToCheck(const pedgroups::Result &result, const QString &programFolder,
                    const catalogue::PedGroup &group)
{
    switch (result.outcome) {
    case pedgroups::Outcome::NotWhole:
    case pedgroups::Outcome::Gone:
        return QStringLiteral("Please Save The GTA3 Data Folder Again.");
    case pedgroups::Outcome::NoPreset:
        return QStringLiteral("Please Check %1.")
            .arg(fromProgramFolder(programFolder, catalogue::presetPath(programFolder, group)));
    case pedgroups::Outcome::ModsCopy:
        return QStringLiteral("The Game Reads %1 Instead: Please Move That Mod Out Of The "
                              "modloader Folder.")
            .arg(result.readInstead);
    default:
        return QStringLiteral("Please Check That The GTA3 Data Folder Can Be Written.");
    }
}

QString installedText(const catalogue::PedGroup &group)
{
    return QStringLiteral("'%1' Installed").arg(QLatin1String(group.label));
}

// The local path of a game's folder, gta3.exe or pedgrp.dat dropped alone; empty for anything
// else.
QString droppedPath(const QMimeData *dropped)
{
    const QList<QUrl> urls = dropped->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    const QString path = QDir::toNativeSeparators(urls.first().toLocalFile());
    return datafolder::pointsAtGame(path) ? path : QString();
}

} // namespace

frmmain::frmmain(const QString &programFolder, StartupRead startupRead, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      programFolder(programFolder), startupRead(std::move(startupRead))
{
    setWindowTitle(QStringLiteral("Quillfen V%1").arg(QStringLiteral(QUILLFEN_VERSION)));
    setWindowIcon(QIcon(QStringLiteral(":/quillfen.ico")));
    setFixedSize(px(4575), px(1935));

    Frame1 = new QGroupBox(QStringLiteral("Quillfen By Marrowby"), this);
    Frame1->setGeometry(twips(120, 0, 4335, 1815));
    Frame1->setFont(verdana(9));

    Label1 = autoSizedLabel(QStringLiteral("GTA3 Data Folder:"), 120, 360, Frame1);

    text1 = new QLineEdit(places::usualDataFolder(), Frame1);
    text1->setGeometry(twips(120, 600, 2775, 315));
    text1->setFont(dialogFont());
    text1->setMaxLength(std::numeric_limits<int>::max());
    // A path dropped on the box goes to the window, which takes a game's path alone.
    text1->setAcceptDrops(false);
    Label1->setBuddy(text1);

    save = button(QStringLiteral("Save"), twips(3000, 600, 1215, 315), Frame1);

    Label2 = autoSizedLabel(QStringLiteral("Choose Your Peds:"), 120, 960, Frame1);

    List1 = new QComboBox(Frame1);
    List1->setGeometry(twips(120, 1200, 2775, 315));
    List1->setFont(dialogFont());
    List1->setEditable(true);
    // What the user types is installed as typed: no completion, and Enter neither adds
    // an entry nor swaps the text for an entry that differs only in case.
    List1->setCompleter(nullptr);
    List1->setInsertPolicy(QComboBox::NoInsert);
    List1->setDuplicatesEnabled(true);
    List1->setEditText(QLatin1String(catalogue::defaultGroup.label));
    List1->lineEdit()->setAcceptDrops(false);
    Label2->setBuddy(List1);

    install = button(QStringLiteral("&Install"), twips(3000, 1200, 1215, 315), Frame1);

    Status = new QLabel(QStringLiteral("Welcome"), Frame1);
    Status->setFont(verdana(8.25));
    Status->setAlignment(Qt::AlignCenter);
    // As wide as the frame allows on both sides of its centre, so every caption fits
    // without being measured again at each change.
    const int halfWidth = qMin(statusCentre, Frame1->width() - statusCentre);
    Status->setGeometry(statusCentre - halfWidth, px(1560), 2 * halfWidth,
                        Status->fontMetrics().height());

    setTabOrder(install, save);
    setTabOrder(save, text1);
    setTabOrder(text1, List1);
    install->setFocus();

    setObjectName(QStringLiteral("frmmain"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    text1->setObjectName(QStringLiteral("text1"));
    save->setObjectName(QStringLiteral("save"));
    Label2->setObjectName(QStringLiteral("Label2"));
    List1->setObjectName(QStringLiteral("List1"));
    install->setObjectName(QStringLiteral("install"));
    Status->setObjectName(QStringLiteral("Status"));

    connect(save, &QPushButton::clicked, this, &frmmain::saveClick);
    connect(install, &QPushButton::clicked, this, &frmmain::installClick);
    connect(text1, &QLineEdit::textChanged, this, &frmmain::text1Change);
    setAcceptDrops(true);

    load();

    // Centred frame and all, as far as the system tells the frame before the window shows.
    winId();
    move(pos() + screen()->availableGeometry().center() - frameGeometry().center());
}

void frmmain::load()
{
    const settingfile::StoredFolder stored = settingfile::read(programFolder);
    if (stored.state != settingfile::StoredFolder::Nothing)
        text1->setText(stored.text);
    if (stored.state == settingfile::StoredFolder::Complete)
        setSaved(true);

    Status->setText(pleaseSetTheFolder);

    List1->addItems(catalogue::labels());
    List1->setCurrentIndex(-1);
    List1->setEditText(QLatin1String(catalogue::defaultGroup.label));

    if (folderSaved) {
        Text2 = text1->text();
        Status->setText(pathSet);
    }
    // Read once the window shows: on a first run where the game is, otherwise whether the saved
    // folder is still there and which group its game holds. What the player does from here on
    // overtakes the answer.
    readDue = folderSaved || stored.state == settingfile::StoredFolder::Nothing;
    askedIn = generation;
}

void frmmain::paintEvent(QPaintEvent *)
{
    // What start-up reads of the player's folders waits for the window to be drawn, so that it
    // never delays it.
    if (readDue)
        QMetaObject::invokeMethod(this, &frmmain::readBeside, Qt::QueuedConnection);
}

void frmmain::readBeside()
{
    if (!readDue) // asked for again by a later paint
        return;
    readDue = false;
    reading = true;
    // Off the event thread, as a drive or a share may keep the system waiting. The thread is
    // nobody's child: closing the window never waits for it, and it deletes itself when done.
    const startup::Question question{folderSaved, Text2};
    auto answer = std::make_shared<startup::Answer>();
    QThread *thread =
        QThread::create([read = startupRead, question, answer] { *answer = read(question); });
    connect(thread, &QThread::finished, this, [this, answer, asked = askedIn] {
        reading = false;
        if (asked == generation)
            startupAnswered(*answer);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void frmmain::startupAnswered(const startup::Answer &answer)
{
    if (answer.gone) {
        // Moved, uninstalled or not plugged in: a first run, which stores nothing until Save, so
        // the saved folder still serves once its drive is back.
        setSaved(false);
        Status->setText(pleaseSetTheFolder);
    }
    if (!answer.found.isEmpty())
        text1->setText(answer.found);
    if (const catalogue::PedGroup *installed = answer.installed) {
        // A player coming back sees which group the game holds, and installs it again unless
        // they choose another.
        Status->setText(installedText(*installed));
        if (List1->currentIndex() < 0 &&
            List1->currentText() == QLatin1String(catalogue::defaultGroup.label))
            List1->setCurrentIndex(int(installed - catalogue::pedGroups.data()));
    }
}

void frmmain::setSaved(bool saved)
{
    folderSaved = saved;
    save->setEnabled(!saved);
    save->setText(saved ? QStringLiteral("Saved") : QStringLiteral("Save"));
}

void frmmain::saveClick()
{
    ++generation;
    // The separator goes on unconditionally, and the box shows it at once.
    const QString typed = text1->text();
    text1->setText(typed + QDir::separator());

    const std::optional<QString> folder = datafolder::check(typed);
    if (!folder) {
        failSave(QStringLiteral("Error! Incorrect Path. Please Correct This Problem."));
        return;
    }
    // A pasted folder may have been cleaned.
    text1->setText(*folder);

    Text2 = *folder;
    Status->setText(pathSet);
    setSaved(true);

    if (!settingfile::write(programFolder, *folder)) {
        // The folder itself was right: send the user to the setting folder instead.
        const QString settings = QFileInfo(settingfile::path(programFolder)).path();
        failSave(
            QStringLiteral("Error! Could Not Store The Data Folder. Please Check The %1 Folder.")
                .arg(fromProgramFolder(programFolder, settings)));
        return;
    }
    // The peds come next. Disabled, Save handed the keyboard to the folder box, where the next
    // key would replace the saved folder.
    List1->setFocus(Qt::TabFocusReason);
}

void frmmain::failSave(const QString &message)
{
    QMessageBox::critical(this, error, message);
    text1->setText(QString());
    setSaved(false);
}

void frmmain::installClick()
{
    ++generation;
    if (!folderSaved) {
        QMessageBox::information(this, QString(),
                                 QStringLiteral("Please Set GTA3 Peds Group File First"));
        return;
    }

    // Name what went in, which for an unknown text is the default group.
    const catalogue::PedGroup &group = catalogue::lookup(List1->currentText());
    const pedgroups::Result result = pedgroups::install(programFolder, group, Text2);
    const pedgroups::Outcome outcome = result.outcome;
    if (outcome == pedgroups::Outcome::Installed) {
        Status->setText(installedText(group));
        return;
    }
    if (outcome == pedgroups::Outcome::Denied) {
        askForAdministrator();
        return;
    }
    // The status line keeps its text, which must not read as if the group went in.
    QMessageBox::critical(
        this, error,
        QStringLiteral("Error! Could Not Install '%1'. %2")
            .arg(QLatin1String(group.label), whatToCheck(result, programFolder, group)));
    // Save is armed for the folder to be saved again, as the message asks.
    if (outcome == pedgroups::Outcome::NotWhole || outcome == pedgroups::Outcome::Gone)
        setSaved(false);
}

void frmmain::askForAdministrator()
{
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Administrator"),
        QStringLiteral("Windows Lets Only An Administrator Write The GTA3 Data Folder. Start "
                       "Quillfen As Administrator?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    // The new window starts from the saved folder. A No at Windows' own prompt was the player's.
    switch (platform::startAsAdministrator(QCoreApplication::applicationFilePath())) {
    case platform::Start::Started:
        close();
        break;
    case platform::Start::Refused:
        break;
    case platform::Start::Failed:
        QMessageBox::critical(this, error,
                              QStringLiteral("Error! Could Not Start Quillfen As Administrator."));
        break;
    }
}

void frmmain::text1Change()
{
    // What the player typed, pasted or dropped stays when the search ends.
    ++generation;
    // An edited folder is no longer the one checked.
    if (folderSaved)
        setSaved(false);
}

void frmmain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmmain::dropEvent(QDropEvent *event)
{
    // As if typed: the edit rule runs, and Save checks it.
    const QString path = droppedPath(event->mimeData());
    if (path.isEmpty())
        return;
    text1->setText(path);
    event->acceptProposedAction();
}
