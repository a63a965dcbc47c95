// orvane: the program entry.

#include "app/main_form.h"
#include "app/main_messages.h"
#include "app/main_windows.h"
#include "app/program_places.h"
#include "app/single_instance.h"
#include "protocol/serial_port.h"
#include "widgets/qt_prompt.h"
#include "widgets/qt_translation.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    // Answered before anything needs a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("orvane %s\n", ORVANE_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: orvane [--version | --help]\n"
                        "Sets up, poses and programs a small servo robot on Varkel-1 boards (see man orvane).\n"
                        "  --version  print the version and exit\n"
                        "  --help     print this help and exit\n");
            return 0;
        }
    }
    QApplication app(argc, argv);
    // Standard dialogs and buttons speak the language of the windows around them.
    if (LanguageIndex == 0 && !InstallQtTranslation(app))
        std::fprintf(stderr, "orvane: Qt's own translation is missing; standard dialogs stay in English\n");

    SingleInstance instance(QStringLiteral("Orvane_E"));
    if (!instance.Acquire()) {
        // Also on the terminal: a second start from a shell would otherwise say nothing there.
        std::fprintf(stderr, "orvane: %s\n", StartupMessage(StartupText).toLocal8Bit().constData());
        std::fflush(stderr);
        QMessageBox::warning(nullptr, StartupMessage(StartupTitle), StartupMessage(StartupText), QMessageBox::Ok);
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("Orvane"));
    const orvane::ProgramPlaces places = orvane::ResolveProgramPlaces(
        QApplication::applicationDirPath(), qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
    const QString &folder = places.settingsFolder;

    // The main window first: the others take their placement from the ORV.ini it read.
    QtPrompt prompt;
    TMainForm mainForm(folder, prompt);
    prompt.SetOwner(&mainForm);
    if (places.startFolder != folder)
        mainForm.SetStartFolder(places.startFolder);
    MainWindows windows(mainForm);

    // Never alive without the main window: also when it closes inside a nested event loop.
    QObject::connect(&mainForm, &TMainForm::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    mainForm.show();
    const int result = app.exec();
    ReleasePort();
    return result;
}
