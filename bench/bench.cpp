// How fast the window comes up, on a first run too, and an install goes, each against the least
// the same job needs, measured side by side in one run. Prints figures; passes or fails nothing.

#include "app/frmmain.h"
#include "pedgroups/catalogue.h"
#include "pedgroups/install.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int startUpRounds = 101;
constexpr int installRounds = 9;

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Milliseconds from nothing to a window whose first paint has been processed.
double timeToFirstPaint(const std::function<QWidget *()> &make)
{
    struct PaintSeen : QObject
    {
        bool seen = false;
        bool eventFilter(QObject *, QEvent *event) override
        {
            seen = seen || event->type() == QEvent::Paint;
            return false;
        }
    } paint;

    QElapsedTimer timer;
    timer.start();
    QWidget *window = make();
    window->installEventFilter(&paint);
    window->show();
    while (!paint.seen)
        QCoreApplication::processEvents();
    const double elapsed = timer.nsecsElapsed() / 1e6;
    delete window;
    QCoreApplication::processEvents();
    return elapsed;
}

QFont verdana(qreal points)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    return font;
}

// The same controls, looking the same, and nothing behind them: no setting file, no
// state, no handlers.
QWidget *bareWindow()
{
    auto *window = new QWidget;
    window->setWindowTitle(QStringLiteral("Quillfen V" QUILLFEN_VERSION));
    window->setWindowIcon(QIcon(QStringLiteral(":/quillfen.ico")));
    window->setFixedSize(305, 129);
    auto *frame = new QGroupBox(QStringLiteral("Quillfen By Marrowby"), window);
    frame->setGeometry(8, 0, 289, 121);
    frame->setFont(verdana(9));
    QFont dialog = QApplication::font();
    dialog.setResolveMask(QFont::AllPropertiesResolved);
    for (const char *caption : {"GTA3 Data Folder:", "Choose Your Peds:", "Welcome"}) {
        auto *label = new QLabel(QString::fromLatin1(caption), frame);
        label->setFont(verdana(8.25));
        if (caption[0] == 'W') {
            label->setAlignment(Qt::AlignCenter);
            label->setGeometry(3, 104, 286, label->fontMetrics().height());
        } else {
            label->move(8, caption[0] == 'G' ? 24 : 64);
            label->adjustSize();
        }
    }
    auto *text = new QLineEdit(QStringLiteral("/games/gta3/data/"), frame);
    text->setGeometry(8, 40, 185, 21);
    text->setFont(dialog);
    auto *list = new QComboBox(frame);
    list->setGeometry(8, 80, 185, 21);
    list->setFont(dialog);
    list->setEditable(true);
    list->addItems(catalogue::labels());
    for (const char *caption : {"Saved", "&Install"}) {
        auto *button = new QPushButton(QString::fromLatin1(caption), frame);
        button->setFont(verdana(9));
        button->setGeometry(200, caption[0] == 'S' ? 40 : 80, 81, 21);
    }
    return window;
}

// The least a replace that keeps either the old or the new bytes needs: the preset read,
// a new file beside the target written and flushed to disk, and renamed over the target.
bool safeReplace(const QByteArray &preset, const QByteArray &target)
{
    char bytes[64 * 1024];
    const int source = ::open(preset.constData(), O_RDONLY | O_CLOEXEC);
    const ssize_t size = ::read(source, bytes, sizeof bytes);
    ::close(source);
    const QByteArray temporary = target + ".new";
    const int file = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool written = file >= 0 && ::write(file, bytes, size_t(size)) == size &&
                         ::fsync(file) == 0 && ::close(file) == 0;
    return written && ::rename(temporary.constData(), target.constData()) == 0;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

double millisecondsOf(const std::function<bool()> &job)
{
    QElapsedTimer timer;
    timer.start();
    if (!job())
        qFatal("a measured job failed");
    return timer.nsecsElapsed() / 1e6;
}

void report(const char *what, double measured, double floor, const char *against)
{
    std::printf("%-28s %9.3f ms   %-26s %9.3f ms   ratio %.3f\n", what, measured, against, floor,
                measured / floor);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // A program folder with the presets, and a game folder holding the game's own file.
    const QTemporaryDir scratch;
    const QString program = scratch.filePath("quillfen"), data = scratch.filePath("gta3");
    const QString target = data + "/pedgrp.dat";
    QDir().mkpath(program + "/configs/path");
    QDir().mkpath(data);
    for (const QString &name : QDir(":/configs").entryList())
        QFile::copy(":/configs/" + name, program + "/configs/" + name);
    write(target, "# the game's own groups\r\n");
    write(program + "/configs/path/config.cfg", (data + "/").toLocal8Bit() + "\r\n");

    // And a first run, with no folder saved, over a home whose Steam lists three libraries and
    // which holds a hundred Wine prefixes of Lutris's, none with the game, which is in a prefix of
    // Bottles's, looked in after them.
    const QString firstRun = scratch.filePath("first"), home = scratch.filePath("home");
    QDir().mkpath(firstRun + "/configs/path");
    QByteArray listing = "\"libraryfolders\"\n{\n";
    for (const char *library : {"1", "2", "3"})
        listing += QStringLiteral("\t\"%1\" { \"path\" \"%2/library%1\" }\n")
                       .arg(QLatin1String(library), home)
                       .toUtf8();
    write(home + "/.local/share/Steam/steamapps/libraryfolders.vdf", listing + "}\n");
    for (int prefix = 0; prefix < 100; ++prefix) {
        const QString programFiles = home + QStringLiteral("/Games/game%1/drive_c/Program Files");
        QDir().mkpath(programFiles.arg(prefix) + " (x86)/Some Game");
        QDir().mkpath(programFiles.arg(prefix) + "/Common Files");
    }
    QDir().mkpath(home + "/library3/steamapps/common/Another Game");
    const QString game =
        home + "/.local/share/bottles/bottles/GTA3/drive_c/Program Files/Rockstar Games/GTAIII";
    write(game + "/gta3.exe", "");
    write(game + "/data/pedgrp.dat", "# the game's own groups\r\n");
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("WINEPREFIX");

    // Alternating them keeps any drift of the machine out of the ratios; the first round of
    // each warms fonts and plugins and is not counted.
    std::vector<double> startUp, firstStartUp, bare;
    for (int round = 0; round <= startUpRounds; ++round) {
        const double window = timeToFirstPaint([&] { return new frmmain(program); });
        const double first = timeToFirstPaint([&] { return new frmmain(firstRun); });
        const double plain = timeToFirstPaint(bareWindow);
        if (round > 0) {
            startUp.push_back(window);
            firstStartUp.push_back(first);
            bare.push_back(plain);
        }
    }

    // The search itself, beside the window: until the folder box offers the game.
    std::vector<double> searches;
    for (int round = 0; round < installRounds; ++round) {
        searches.push_back(millisecondsOf([&] {
            frmmain window(firstRun);
            window.show();
            auto *text1 = window.findChild<QLineEdit *>(QStringLiteral("text1"));
            while (text1->text() != game + QStringLiteral("/data"))
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            return true;
        }));
    }

    frmmain window(program);
    auto *list = window.findChild<QComboBox *>(QStringLiteral("List1"));
    auto *install = window.findChild<QPushButton *>(QStringLiteral("install"));
    const QByteArray nativeTarget = QFile::encodeName(target);
    std::vector<double> installs, floors, copies;
    for (int round = 0; round < installRounds; ++round) {
        for (const catalogue::PedGroup &group : catalogue::pedGroups) {
            const QString preset = catalogue::presetPath(program, group);
            // The default group puts back the game's own file, kept by the first install.
            const QString installed =
                &group == &catalogue::pedGroups.front() ? pedgroups::keptCopy(target) : preset;
            list->setEditText(QString::fromLatin1(group.label));
            installs.push_back(millisecondsOf([&] {
                install->click();
                return QFile(target).size() == QFile(installed).size();
            }));
            floors.push_back(millisecondsOf(
                [&] { return safeReplace(QFile::encodeName(preset), nativeTarget); }));
            copies.push_back(millisecondsOf(
                [&] { return QFile::remove(target) && QFile::copy(preset, target); }));
        }
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Medians of %d start-ups and %zu installs (%d of each preset):\n", startUpRounds,
                installs.size(), installRounds);
    report("start-up to first paint", median(startUp), median(bare), "bare window");
    report("first run to first paint", median(firstStartUp), median(bare), "bare window");
    std::printf("%-28s %9.3f ms   (beside the window)\n", "first run's search", median(searches));
    report("install", median(installs), median(floors), "safe-replace floor");
    report("install", median(installs), median(copies), "plain QFile::copy");
    std::printf("peak memory: %ld KiB\n", usage.ru_maxrss);
    std::printf("goals: start-up ratio at most 1.05, first run's at most 1.10, install ratio to "
                "the floor at most 1.20\n");
    return 0;
}
