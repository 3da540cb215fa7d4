#include "app/frmmain.h"
#include "platform/platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The title a message box shows when it has none of its own.
    QApplication::setApplicationName(QStringLiteral("Quillfen"));
    frmmain window(platform::programFolder());
    window.show();
    return app.exec();
}
