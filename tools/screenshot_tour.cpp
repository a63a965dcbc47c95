// screenshot_tour: opens the program's windows one after another on a real display, with files loaded
// so that they are not empty, and saves a picture of each, window frame included. scripts/screenshots.sh
// runs it under Xvfb and a window manager, on virtual boards. Buttons are found by their object names,
// so the tour follows the windows as they change.
//
//   screenshot_tour PROGRAM_FOLDER DATA_FOLDER PICTURE_FOLDER
// PROGRAM_FOLDER holds the ORV.ini to start with; DATA_FOLDER motion.csv, scenario.csv, assignment.csv.

#include "app/main_form.h"
#include "app/main_windows.h"
#include "session/prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QImageWriter>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

// Answers every question with its first button and every open dialog with the file it is given.
class TourPrompt : public Prompt {
public:
    PromptAnswer Message(PromptIcon, const QString &, const QString &, PromptButtons buttons) override
    {
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    bool Input(const QString &, const QString &, QString &) override { return false; }
    QString OpenFile(const QString &, const QString &, const QString &) override { return std::exchange(next, {}); }
    QString SaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QString SaveFileReplacing(const QString &, const QString &, const QString &) override { return {}; }
    bool Color(uint32_t &) override { return false; }

    QString next;
};

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QList<QWidget *> VisibleWindows()
{
    QList<QWidget *> shown;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow())
            shown.append(w);
    return shown;
}

// The screen under the windows' frames, decorations included; small enough for the README.
bool Save(const QList<QWidget *> &windows, const QString &path)
{
    QRect area;
    for (QWidget *w : windows)
        area |= w->frameGeometry();
    const QImage picture =
        QApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    QImageWriter writer(path, "png");
    writer.setQuality(0);  // the strongest compression
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB888))) {
        std::fprintf(stderr, "screenshot_tour: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s: %dx%d\n", qPrintable(path), area.width(), area.height());
    return true;
}

struct Shot {
    const char *button;      // on the main window
    QString file;            // opened with the window's OPEN_BTN, when given
    const char *picture;     // under the picture folder, without .png
    const char *alsoButton;  // a second window shown beside the first one, or null
    QStringList clicks;      // buttons of the shown windows clicked before the picture
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: screenshot_tour PROGRAM_FOLDER DATA_FOLDER PICTURE_FOLDER\n");
        return 2;
    }
    const QDir data(QString::fromLocal8Bit(argv[2]));
    const QDir pictures(QString::fromLocal8Bit(argv[3]));
    TourPrompt prompt;
    TMainForm main(QString::fromLocal8Bit(argv[1]), prompt);
    MainWindows windows(main);
    main.move(20, 20);
    main.show();
    Wait(1500);  // the port opens
    if (auto *read = main.findChild<QAbstractButton *>(QStringLiteral("GETPOS_BTN")))
        read->click();  // the boards' pose onto the sliders
    Wait(1000);
    bool ok = Save({&main}, pictures.filePath(QStringLiteral("main-window.png")));

    const QList<Shot> shots = {
        {"GRID_BTN",
         data.filePath(QStringLiteral("motion.csv")),
         "motion-editor",
         "GRAPH_BTN",
         {"ENABLE1_BTN", "ENABLE2_BTN", "ENABLE3_BTN", "ENABLE4_BTN"}},
        {"MOTION_FILE_BTN", data.filePath(QStringLiteral("scenario.csv")), "scenario-editor", nullptr, {}},
        {"OptionMenu3", data.filePath(QStringLiteral("assignment.csv")), "assignment-window", nullptr, {}},
        {"OPTION_BTN", QString(), "options-window", nullptr, {}},
        {"SHOT_BTN", QString(), "teaching-window", nullptr, {}},
    };
    for (const Shot &shot : shots) {
        auto *button = main.findChild<QAbstractButton *>(QString::fromLatin1(shot.button));
        if (!button) {
            std::fprintf(stderr, "screenshot_tour: the main window has no %s\n", shot.button);
            ok = false;
            continue;
        }
        const QList<QWidget *> before = VisibleWindows();
        bool done = false;
        // Looks for the new window from inside its own event loop when it is modal, else after the click. A
        // window may serve events while it talks to the boards before it shows: the look must not block
        // there, so it returns at once until the window is up.
        QTimer poll;
        QElapsedTimer waited;
        waited.start();
        QObject::connect(&poll, &QTimer::timeout, &main, [&] {
            QList<QWidget *> opened;
            for (QWidget *w : VisibleWindows())
                if (!before.contains(w))
                    opened.append(w);
            if (opened.isEmpty() && waited.elapsed() < 15000)
                return;
            poll.stop();
            Wait(800);
            if (opened.isEmpty()) {
                std::fprintf(stderr, "screenshot_tour: %s opened no window\n", shot.button);
                ok = false;
            } else {
                QWidget *window = opened.first();
                window->move(main.frameGeometry().right() + 12, 20);
                if (!shot.file.isEmpty()) {
                    prompt.next = shot.file;
                    if (auto *open = window->findChild<QAbstractButton *>(QStringLiteral("OPEN_BTN")))
                        open->click();
                    Wait(800);
                }
                QList<QWidget *> shown{window};
                if (shot.alsoButton) {
                    main.findChild<QAbstractButton *>(QString::fromLatin1(shot.alsoButton))->click();
                    Wait(800);
                    for (QWidget *w : VisibleWindows())
                        if (!before.contains(w) && w != window)
                            shown.append(w);
                    for (qsizetype i = 1; i < shown.size(); ++i)
                        shown[i]->move(window->frameGeometry().left(), window->frameGeometry().bottom() + 12);
                    Wait(500);
                }
                for (const QString &name : shot.clicks)
                    for (QWidget *w : shown)
                        if (auto *b = w->findChild<QAbstractButton *>(name))
                            b->click();
                window->raise();
                Wait(500);
                ok = Save(shown, pictures.filePath(QString::fromLatin1(shot.picture) + QStringLiteral(".png"))) && ok;
                for (QWidget *w : shown) {
                    if (auto *dialog = qobject_cast<QDialog *>(w))
                        dialog->reject();
                    else
                        w->hide();
                }
            }
            done = true;
        });
        poll.start(100);
        button->click();
        while (!done)
            Wait(100);
        Wait(300);
    }
    return ok ? 0 : 1;
}
