#include "app/frmmain.h"
#include "support.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using support::control;

namespace {

bool isRegularFont(const QFont &font, const QString &family, qreal points)
{
    return font.family() == family && qFuzzyCompare(font.pointSizeF(), points) &&
           font.weight() == QFont::Normal && !font.italic() && !font.underline() &&
           !font.strikeOut();
}

} // namespace

class tst_window : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<frmmain> window;

    void open() { window.reset(support::showWindow(dir->path())); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        support::makeProgramFolder(dir->path());
    }

    void cleanup() { window.reset(); }

    void windowIsASmallFixedDialogWithItsIcon()
    {
        open();
        QCOMPARE(window->windowTitle(), "Quillfen V1.1");
        QCOMPARE(window->size(), QSize(305, 129));
        QCOMPARE(window->minimumSize(), QSize(305, 129));
        QCOMPARE(window->maximumSize(), QSize(305, 129));

        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(window->windowType(), Qt::Window); // a window of its own, on the taskbar
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));

        QVERIFY(window->windowIcon().availableSizes().contains(QSize(32, 32)));
        // Centred within the few pixels a window frame adds.
        const QPoint offCentre =
            window->geometry().center() - window->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 8);
    }

    void controlsSitInTheFrameAsDrawn()
    {
        open();
        auto *Frame1 = control<QGroupBox>(window.get(), "Frame1");
        QVERIFY(Frame1);
        QCOMPARE(Frame1->parentWidget(), window.get());
        QCOMPARE(Frame1->title(), "Quillfen By Marrowby");
        QCOMPARE(Frame1->geometry(), QRect(8, 0, 289, 121));
        QVERIFY(isRegularFont(Frame1->font(), "Verdana", 9));

        const QFont dialog = QApplication::font();
        const struct
        {
            const char *name;
            QRect geometry;
            QString family;
            qreal points;
        } boxes[] = {
            {"text1", {8, 40, 185, 21}, dialog.family(), dialog.pointSizeF()},
            {"save", {200, 40, 81, 21}, "Verdana", 9},
            {"List1", {8, 80, 185, 21}, dialog.family(), dialog.pointSizeF()},
            {"install", {200, 80, 81, 21}, "Verdana", 9},
        };
        for (const auto &box : boxes) {
            auto *widget = control<QWidget>(window.get(), box.name);
            QVERIFY2(widget && widget->parentWidget() == Frame1, box.name);
            QCOMPARE(widget->geometry(), box.geometry);
            QVERIFY2(isRegularFont(widget->font(), box.family, box.points), box.name);
            QVERIFY(widget->isVisible());
        }

        const struct
        {
            const char *name;
            QString caption;
            QPoint position;
        } labels[] = {
            {"Label1", "GTA3 Data Folder:", {8, 24}},
            {"Label2", "Choose Your Peds:", {8, 64}},
        };
        for (const auto &expected : labels) {
            auto *label = control<QLabel>(window.get(), expected.name);
            QVERIFY2(label && label->parentWidget() == Frame1, expected.name);
            QCOMPARE(label->text(), expected.caption);
            QCOMPARE(label->pos(), expected.position);
            QCOMPARE(label->size(), label->sizeHint());
            QVERIFY(isRegularFont(label->font(), "Verdana", 8.25));
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(control<QLabel>(window.get(), "Label1")->buddy(),
                 control<QLineEdit>(window.get(), "text1"));
        QCOMPARE(control<QLabel>(window.get(), "Label2")->buddy(),
                 control<QComboBox>(window.get(), "List1"));
        QCOMPARE(Frame1->focusPolicy(), Qt::NoFocus);

        auto *Status = control<QLabel>(window.get(), "Status");
        QVERIFY(Status && Status->parentWidget() == Frame1);
        QCOMPARE(Status->y(), 104);
        QVERIFY(isRegularFont(Status->font(), "Verdana", 8.25));
        QVERIFY(Status->alignment().testFlag(Qt::AlignHCenter));
        QCOMPARE(Status->focusPolicy(), Qt::NoFocus);

        auto *text1 = control<QLineEdit>(window.get(), "text1");
        QCOMPARE(text1->maxLength(), std::numeric_limits<int>::max());

        for (const char *name : {"save", "install"}) {
            auto *button = control<QPushButton>(window.get(), name);
            QVERIFY(!button->isDefault() && !button->autoDefault());
        }
        QCOMPARE(control<QPushButton>(window.get(), "install")->text(), "&Install");
    }

    void everyStatusFitsCentredUnderTheList()
    {
        open();
        auto *Status = control<QLabel>(window.get(), "Status");
        auto *Frame1 = control<QGroupBox>(window.get(), "Frame1");
        QVERIFY(qAbs(Status->geometry().center().x() - 146) <= 1);
        QVERIFY(Frame1->rect().contains(Status->geometry()));
        for (const QString &caption :
             {QStringLiteral("Welcome"), QStringLiteral("Please Set The GTA3 Data Folder"),
              QStringLiteral("Path Set. Please Select Your Peds"),
              QStringLiteral("'Chinese People' Installed")}) {
            Status->setText(caption);
            QVERIFY2(Status->width() >= Status->sizeHint().width(), qPrintable(caption));
            QVERIFY2(Status->height() >= Status->sizeHint().height(), qPrintable(caption));
        }
    }

    void listOffersTheFifteenGroupsWithDefaultPedsShown()
    {
        open();
        auto *List1 = control<QComboBox>(window.get(), "List1");
        QVERIFY(List1->isEditable());
        QCOMPARE(List1->count(), 15);
        QCOMPARE(List1->itemText(0), "Default Peds");
        QCOMPARE(List1->itemText(14), "Workers");
        QCOMPARE(List1->currentIndex(), -1);
        QCOMPARE(List1->currentText(), "Default Peds");
    }

    void focusStartsOnInstallAndTabsRound()
    {
        open();
        const auto focused = [] {
            QWidget *widget = QApplication::focusWidget();
            // An editable list takes focus in its text field.
            if (widget && qobject_cast<QComboBox *>(widget->parentWidget()))
                widget = widget->parentWidget();
            return widget ? widget->objectName() : QString();
        };
        QCOMPARE(focused(), "install");
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << focused();
        }
        QCOMPARE(order, (QStringList{"save", "text1", "List1", "install"}));
    }

    void startUpStateFollowsTheSettingFile_data()
    {
        QTest::addColumn<QString>("kind"); // of the entry named config.cfg, if any
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text1");
        QTest::addColumn<bool>("saved");

        // The game's data folder in Wine's default prefix.
        const QString firstRun =
            QDir::homePath() + "/.wine/drive_c/Program Files/Rockstar Games/GTAIII/data";
        const QByteArray huge(30 * 1024 * 1024, 'x');
        QTest::newRow("first run") << "none" << QByteArray() << firstRun << false;
        QTest::newRow("a folder named config.cfg") << "folder" << QByteArray() << firstRun << false;
        QTest::newRow("a FIFO named config.cfg") << "fifo" << QByteArray() << firstRun << false;
        QTest::newRow("one line") << "file" << QByteArray("/games/gta3/data/\r\n")
                                  << "/games/gta3/data/" << true;
        QTest::newRow("two lines")
            << "file" << QByteArray("/games/\r\ngta3/data/\r\n") << "/games/gta3/data/" << true;
        QTest::newRow("zero bytes") << "file" << QByteArray("") << "" << true;
        QTest::newRow("only line ends") << "file" << QByteArray("\r\n\n\r\r\n") << "" << true;
        QTest::newRow("NUL bytes") << "file" << QByteArray("/ga\0mes/\0\r\n", 11)
                                   << QString::fromUtf16(u"/ga\0mes/\0", 9) << true;
        QTest::newRow("bytes that are no text")
            << "file" << QByteArray("/games/\xff\xfe\xc3/\r\n")
            << QString::fromUtf16(u"/games/\ufffd\ufffd\ufffd/") << true;
        // Far too long for a folder: the lines before the cut are offered, unsaved.
        QTest::newRow("tens of MB on one line") << "file" << huge << "" << false;
        QTest::newRow("a line, then tens of MB")
            << "file"
            << "/games/data/\r\n" + huge << "/games/data/" << false;
    }

    void startUpStateFollowsTheSettingFile()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text1);
        QFETCH(bool, saved);
        const QString file = support::settingFile(dir->path());
        if (kind == "file")
            support::writeFile(file, bytes);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(file));
        else if (kind == "fifo")
            QVERIFY(mkfifo(QFile::encodeName(file).constData(), 0600) == 0);

        QElapsedTimer timer;
        timer.start();
        window = std::make_unique<frmmain>(dir->path());
        QVERIFY(timer.elapsed() < 2000);
        // Before the window is ever shown, the welcome text is already replaced.
        QCOMPARE(control<QLabel>(window.get(), "Status")->text(),
                 saved ? "Path Set. Please Select Your Peds" : "Please Set The GTA3 Data Folder");
        window->show();

        auto *save = control<QPushButton>(window.get(), "save");
        QCOMPARE(control<QLineEdit>(window.get(), "text1")->text(), text1);
        QCOMPARE(save->isEnabled(), !saved);
        QCOMPARE(save->text(), saved ? "Saved" : "Save");
        QCOMPARE(window->activeDataFolder(), saved ? text1 : QString());
        if (kind == "file")
            QVERIFY(support::readFile(file) == bytes);
        else
            QCOMPARE(support::entries(dir->path() + "/configs/path"),
                     kind == "none" ? QStringList() : QStringList{"config.cfg"});
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
