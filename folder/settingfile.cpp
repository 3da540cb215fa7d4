#include "settingfile.h"

#include "app/platform.h"

#include <QFile>
#include <QSaveFile>

namespace settingfile {

namespace {
// Far longer than any path a system accepts (32767 characters on Windows, in up to three
// bytes each), yet short enough for the folder box to show at once. A longer file was not
// written by this program; reading it whole would freeze the window for many seconds.
constexpr qsizetype longestText = 128 * 1024;
} // namespace

QString path(const QString &programFolder)
{
    return programFolder + platform::native("\\configs\\path\\config.cfg");
}

StoredFolder read(const QString &programFolder)
{
    QFile file(path(programFolder));
    if (!platform::openRegularFile(file))
        return {};

    // CR LF, a lone LF and a lone CR all end a line, and lines are joined with nothing
    // between them, so the text is simply every byte that is not a line end.
    QByteArray text;
    qsizetype completeLines = 0;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 count = file.read(chunk, sizeof chunk);
        if (count < 0 || text.size() > longestText) {
            text.truncate(completeLines);
            return {StoredFolder::Incomplete, QString::fromLocal8Bit(text)};
        }
        if (count == 0)
            break;
        for (qint64 i = 0; i < count; ++i) {
            if (chunk[i] == '\r' || chunk[i] == '\n')
                completeLines = text.size();
            else
                text.append(chunk[i]);
        }
    }
    return {StoredFolder::Complete, QString::fromLocal8Bit(text)};
}

bool write(const QString &programFolder, const QString &folder)
{
    const QByteArray line = folder.toLocal8Bit() + "\r\n";
    QSaveFile file(path(programFolder));
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a
    // buffered QSaveFile can commit a truncated file as a success.
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           file.write(line) == line.size() && file.commit();
}

} // namespace settingfile
