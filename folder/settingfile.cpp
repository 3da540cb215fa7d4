#include "settingfile.h"

#include "platform/platform.h"

#include <QBuffer>
#include <QFile>
#include <QStringDecoder>

#include <optional>

namespace settingfile {

namespace {
// Far longer than any path a system accepts (32767 characters on Windows, in up to three
// bytes each), yet short enough for the folder box to show at once. A longer file was not
// written by this program; reading it whole would freeze the window for many seconds.
constexpr qsizetype longestFile = 128 * 1024;

// A folder the system code page cannot hold is stored as UTF-8 behind a byte-order mark;
// every other folder as code-page text, which earlier versions read too.
const QByteArray utf8Mark("\xEF\xBB\xBF");

QString decode(const QByteArray &bytes)
{
    // The decoder drops the mark, and only the first one.
    if (bytes.startsWith(utf8Mark))
        return QStringDecoder(QStringDecoder::Utf8).decode(bytes);
    return QString::fromLocal8Bit(bytes);
}

// The bytes that read back as `folder`, if any do. A line end in a folder would be taken
// for the end of its line.
std::optional<QByteArray> encode(const QString &folder)
{
    if (folder.contains(QLatin1Char('\r')) || folder.contains(QLatin1Char('\n')))
        return std::nullopt;
    QByteArray bytes = folder.toLocal8Bit();
    if (decode(bytes) != folder)
        bytes = utf8Mark + folder.toUtf8();
    if (decode(bytes) != folder)
        return std::nullopt;
    return bytes;
}

} // namespace

QString path(const QString &programFolder)
{
    return platform::join(platform::configsFolder(programFolder),
                          platform::native("path\\config.cfg"));
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
    qint64 total = 0; // line ends too, or a file of nothing but line ends would be read whole
    char chunk[64 * 1024];
    for (;;) {
        const qint64 count = file.read(chunk, sizeof chunk);
        if (count < 0 || total > longestFile) {
            text.truncate(completeLines);
            return {StoredFolder::Incomplete, decode(text)};
        }
        if (count == 0)
            break;
        total += count;
        for (qint64 i = 0; i < count; ++i) {
            if (chunk[i] == '\r' || chunk[i] == '\n')
                completeLines = text.size();
            else
                text.append(chunk[i]);
        }
    }
    return {StoredFolder::Complete, decode(text)};
}

bool write(const QString &programFolder, const QString &folder)
{
    const std::optional<QByteArray> text = encode(folder);
    if (!text)
        return false;
    QByteArray line = *text + "\r\n";
    QBuffer from(&line);
    return from.open(QIODevice::ReadOnly) && platform::replaceWith(path(programFolder), from);
}

} // namespace settingfile
