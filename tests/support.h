#pragma once

#include <QByteArray>
#include <QMessageBox>
#include <QString>

#include <functional>

class frmmain;

namespace support {

// What a modal message box showed before it was answered with its only button.
struct Message
{
    bool shown = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    int buttonCount = 0;
};

// Runs `action`, recording and closing the message box it opens, if any.
Message answerMessage(const std::function<void()> &action);

// Lays out a program folder in `root`: configs/ with every shipped preset, and configs/path/.
void makeProgramFolder(const QString &root);

QString settingFile(const QString &programFolder);
QString presetFile(const QString &programFolder, const char *name);

void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path); // a null array when the file cannot be read

// Every entry of `folder` but . and .., sorted.
QStringList entries(const QString &folder);

// Runs `job` in a child process. Returns 0 when it succeeded, 1 when it failed, and -1
// when the child was killed.
int inChild(const std::function<bool()> &job);

// Runs `job` in a child process whose files may not grow past `limit` bytes. The child
// ignores SIGXFSZ when `survive` is set, so its writes fail instead of killing it.
int inChildWithFileSizeLimit(long limit, bool survive, const std::function<bool()> &job);

// The window over `programFolder`, shown and ready for input.
frmmain *showWindow(const QString &programFolder);

// A control of the window, found by its name.
template <class T> T *control(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

} // namespace support
