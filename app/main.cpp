#include "app/frmmain.h"
#include "app/platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmmain window(platform::programFolder());
    window.show();
    return app.exec();
}
