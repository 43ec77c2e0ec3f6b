// Opens the update window against a chosen server, for looking at it on a display:
//   update_window_check INFO-URL PUBLIC-KEY-BASE64 PROGRAM-PATH REPLACER-PATH VERSION
// Closing the "program" only ends this window.

#include "app/AppConstants.h"
#include "update/TFormProgress.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(wl::app::ProductName);
    const QStringList args = QApplication::arguments();
    if (args.size() != 6) {
        std::fputs("usage: update_window_check INFO-URL PUBLIC-KEY PROGRAM REPLACER VERSION\n",
                   stderr);
        return 2;
    }
    wl::UpdateSetup setup;
    setup.infoFileUrl = args[1];
    setup.publicKey = QByteArray::fromBase64(args[2].toLatin1());
    setup.programPath = args[3];
    setup.replacerPath = args[4];
    setup.versionNumber = args[5];
    wl::TFormProgress* window = nullptr;
    setup.closeProgram = [&window] { return window->close(); };
    wl::TFormProgress form(setup);
    window = &form;
    form.show();
    return QApplication::exec();
}
