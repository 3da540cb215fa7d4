#include "support.h"

#include "app/frmmain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace support {

Message answerMessage(const std::function<void()> &action)
{
    Message message;
    bool looked = false;
    QTimer::singleShot(0, [&] {
        looked = true;
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        message.shown = true;
        message.text = box->text();
        message.title = box->windowTitle();
        message.icon = box->icon();
        message.buttons = box->standardButtons();
        message.buttonCount = box->buttons().size();
        box->buttons().first()->click();
    });
    action();
    while (!looked)
        QCoreApplication::processEvents();
    return message;
}

void makeProgramFolder(const QString &root)
{
    QDir().mkpath(root + "/configs/path");
    const QDir shipped(QStringLiteral(QUILLFEN_SOURCE_DIR "/configs"));
    for (const QString &name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), root + "/configs/" + name);
}

QString settingFile(const QString &programFolder)
{
    return programFolder + "/configs/path/config.cfg";
}

QString presetFile(const QString &programFolder, const char *name)
{
    return programFolder + "/configs/" + QString::fromLatin1(name);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray("");
    return bytes;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

int inChild(const std::function<bool()> &job)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(job() ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int inChildWithFileSizeLimit(long limit, bool survive, const std::function<bool()> &job)
{
    return inChild([&] {
        const rlimit rl{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &rl);
        if (survive)
            signal(SIGXFSZ, SIG_IGN);
        return job();
    });
}

frmmain *showWindow(const QString &programFolder)
{
    auto *window = new frmmain(programFolder);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("window did not become active");
    return window;
}

} // namespace support
