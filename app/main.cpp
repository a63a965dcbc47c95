// orvane: the program entry.

#include "app/home_dialog.h"
#include "app/label_dialog.h"
#include "app/main_form.h"
#include "app/main_messages.h"
#include "app/single_instance.h"
#include "graph/graph_form.h"
#include "motion/motion_form.h"
#include "protocol/serial_port.h"
#include "widgets/qt_prompt.h"
#include "widgets/qt_translation.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char **argv)
{
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
    const QString folder = QApplication::applicationDirPath();

    // The windows in their fixed order; those not built yet keep their buttons disabled.
    QtPrompt prompt;
    TMainForm mainForm(folder, prompt);
    prompt.SetOwner(&mainForm);
    const orvane::MainSettings &settings = mainForm.Settings();
    TMotionForm motionForm(&mainForm, mainForm, folder,
                           MotionFormPlacement{settings.listView, settings.listTop, settings.listLeft,
                                               settings.listWidth, settings.listHeight});
    THomeDialog homeDialog(&mainForm);
    TLabelDialog labelDialog(&mainForm);
    TGraphForm graphForm(
        &mainForm, *motionForm.model(), mainForm,
        GraphPlacement{settings.graphView, settings.graphTop, settings.graphLeft, settings.graphWidth});
    mainForm.SetMotionForm(&motionForm);
    mainForm.SetHomeDialog(&homeDialog);
    mainForm.SetLabelDialog(&labelDialog);
    mainForm.SetGraphForm(&graphForm);

    // Never alive without the main window: also when it closes inside a nested event loop.
    QObject::connect(&mainForm, &TMainForm::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    mainForm.show();
    const int result = app.exec();
    ReleasePort();
    return result;
}
