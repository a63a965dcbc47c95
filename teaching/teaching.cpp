#include "teaching/teaching.h"

#include "protocol/channels.h"
#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "session/colors.h"
#include "session/prompt.h"
#include "teaching/teaching_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QTimer>
#include <QToolButton>

using orvane::kChannelsPerBoard;
using orvane::TeachingMessages;

namespace {

constexpr int kPanelWidth = 250;
constexpr int kPanelHeight = 24;
constexpr uint8_t kDefaultMode = 0;
constexpr uint8_t kTeachingMode = 2;
constexpr int kFree = 221;

int GroupOf(int channel) { return (channel - 1) / kChannelsPerBoard; }

QToolButton *ToolButton(QWidget *parent, const char *name, const char *caption, int left, int top)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setGeometry(left, top, 64, 30);
    return button;
}

// Unlocks the window and the box whatever way the sequence ends.
struct Unlock {
    QWidget *window;
    QWidget *box;
    ~Unlock()
    {
        window->setEnabled(true);
        if (box)
            box->setEnabled(true);
    }
};

}  // namespace

TTeaching::TTeaching(MainOperations &main, QWidget *parent) : QDialog(parent), main_(main)
{
    setObjectName(QStringLiteral("Teaching"));
    setModal(true);
    BuildControls();
    FormCreate();
}

void TTeaching::BuildControls()
{
    for (int n = 1; n <= kChannels; ++n) {
        // Laid out as the main window's panels: 1-6 | 7-12 above, 13-18 | 19-24 below.
        const int column = ((n - 1) / 6) % 2;
        const int row = (n - 1) % 6 + (n > 12 ? 6 : 0);
        auto *panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("PANEL_%1").arg(n));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Raised);
        panel->setAutoFillBackground(true);
        panel->setGeometry(8 + column * kPanelWidth, 8 + row * kPanelHeight + (n > 12 ? 6 : 0), kPanelWidth,
                           kPanelHeight);
        auto *box = new QCheckBox(QStringLiteral("FREE"), panel);
        box->setObjectName(QStringLiteral("FREE_CHK_%1").arg(n));
        box->setGeometry(4, 2, 64, 20);
        auto *label = new QLabel(QStringLiteral("CH%1").arg(n), panel);
        label->setObjectName(QStringLiteral("THC_%1").arg(n));
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setGeometry(72, 2, 110, 20);
        auto *value = new QLineEdit(panel);
        value->setObjectName(QStringLiteral("ANG_%1").arg(n));
        value->setReadOnly(true);
        value->setAlignment(Qt::AlignRight);
        value->setGeometry(186, 2, 58, 20);
        connect(box, &QCheckBox::clicked, this, [this, box] { FREE_CHKClick(box); });
    }

    const int bottom = 8 + 12 * kPanelHeight + 6 + 10;
    auto *speedLabel = new QLabel(QStringLiteral("SPEED"), this);
    speedLabel->setObjectName(QStringLiteral("SPEED_LAB"));
    speedLabel->setGeometry(12, bottom + 5, 50, 20);
    SPD_LIST = new QComboBox(this);
    SPD_LIST->setObjectName(QStringLiteral("SPD_LIST"));
    for (int s = 0; s <= 7; ++s)
        SPD_LIST->addItem(QString::number(s));
    SPD_LIST->setGeometry(64, bottom + 3, 60, 24);
    SHOT_BTN = ToolButton(this, "SHOT_BTN", "SHOT", 2 * kPanelWidth + 8 - 3 * 68, bottom);
    NOW_BTN = ToolButton(this, "NOW_BTN", "HOME", 2 * kPanelWidth + 8 - 2 * 68, bottom);
    ADDITEM_BTN = ToolButton(this, "ADDITEM_BTN", "ADD", 2 * kPanelWidth + 8 - 68, bottom);
    connect(SPD_LIST, &QComboBox::activated, this, &TTeaching::SPD_LISTCloseUp);
    connect(SHOT_BTN, &QToolButton::clicked, this, &TTeaching::SHOT_BTNClick);
    connect(NOW_BTN, &QToolButton::clicked, this, &TTeaching::NOW_BTNClick);
    connect(ADDITEM_BTN, &QToolButton::clicked, this, &TTeaching::ADDITEM_BTNClick);
    setFixedSize(2 * kPanelWidth + 16, bottom + 40);
}

void TTeaching::FormCreate()
{
    setWindowTitle(TeachingMessages(orvane::TchTitle));
    SHOT_BTN->setToolTip(TeachingMessages(orvane::TchHintShot));
    NOW_BTN->setToolTip(TeachingMessages(orvane::TchHintNow));
    ADDITEM_BTN->setToolTip(TeachingMessages(orvane::TchHintAdd));
    for (int n = 1; n <= kChannels; ++n) {
        FREE_CHK[n] = findChild<QCheckBox *>(QStringLiteral("FREE_CHK_%1").arg(n));
        ANG[n] = findChild<QLineEdit *>(QStringLiteral("ANG_%1").arg(n));
        THC[n] = findChild<QLabel *>(QStringLiteral("THC_%1").arg(n));
        PANEL[n] = findChild<QFrame *>(QStringLiteral("PANEL_%1").arg(n));
        for (QObject *control : {static_cast<QObject *>(FREE_CHK[n]), static_cast<QObject *>(ANG[n]),
                                 static_cast<QObject *>(THC[n]), static_cast<QObject *>(PANEL[n])})
            control->setProperty("tag", n);
    }
    ready_ = true;
    captured_ = false;
}

void TTeaching::RunFromMain(QWidget *mainWindow)
{
    if (!main_.ReadBoardPositions())
        return;
    Prepare();

    const int failures = SendBoth();
    if (failures) {
        main_.ShowLinkStatus(failures);
        return;
    }
    int retry = MainRetryCount;
    uint8_t mode = 0;
    if (!GetMode(retry, uint8_t(main_.BoardId(0)), mode)) {
        main_.ShowLinkStatus(3);
        return;
    }
    if (mode != kDefaultMode) {
        main_.UserPrompt().Message(PromptIcon::Warning, TeachingMessages(orvane::TchWarning),
                                   TeachingMessages(orvane::TchServoStart), PromptButtons::Ok);
        main_.ReleaseSleep();
    }

    if (mainWindow)
        mainWindow->hide();
    SPD_LIST->setCurrentIndex(main_.Speed());
    exec();
    if (mainWindow)
        mainWindow->show();
    main_.ReadBoardPositions();
}

void TTeaching::Prepare()
{
    for (int n = 1; n <= kChannels; ++n) {
        QPalette palette = PANEL[n]->palette();
        palette.setColor(QPalette::Window, orvane::ToQColor(orvane::ResolveColor(main_.PanelColor(n))));
        PANEL[n]->setPalette(palette);
        PANEL[n]->setVisible(main_.PanelVisible(n));
        QPalette text = THC[n]->palette();
        text.setColor(QPalette::WindowText, orvane::ToQColor(main_.NameColor(n)));
        THC[n]->setPalette(text);
        FREE_CHK[n]->setEnabled(true);
        ANG[n]->setEnabled(true);
        const int v = main_.ValueCode(n);
        if ((v >= 0 && v <= 180) || (v >= 222 && v <= 224)) {
            FREE_CHK[n]->setChecked(false);
            ANG[n]->setText(QString::number(v));
        } else if (v == kFree) {
            FREE_CHK[n]->setChecked(true);
            ANG[n]->setText(QString::number(v));
        } else if (v == 225 || v == 226) {
            FREE_CHK[n]->setChecked(false);
            FREE_CHK[n]->setEnabled(false);
            ANG[n]->setEnabled(false);
            ANG[n]->setText(main_.ValueText(n));
        }
    }
}

void TTeaching::FREE_CHKClick(QCheckBox *sender)
{
    if (!ready_ || busy_)
        return;
    busy_ = true;
    const int n = sender->property("tag").toInt();
    const int g = GroupOf(n);
    {
        setEnabled(false);
        sender->setEnabled(false);
        Unlock unlock{this, sender};
        QApplication::processEvents();
        captured_ = false;

        if (sender->isChecked()) {
            main_.SetValueCode(n, kFree);
            main_.SendBoardPositions(g, 0);
        } else if (main_.BoardPresent(g)) {
            const auto id = uint8_t(main_.BoardId(g));
            int retry = RetryCount;
            QByteArray reply;
            // The first failing step ends the sequence and leaves the boards as they are: sending them
            // back to default mode could drive servos to values never read.
            if (SetMode(retry, id, kTeachingMode)) {
                Settle();
                retry = RetryCount;
                if (GetPositions(retry, id, reply)) {
                    const int v = uint8_t(reply.at((n - 1) % kChannelsPerBoard + 1));
                    main_.SetValueCode(n, v);
                    ANG[n]->setText(QString::number(v));
                    if (main_.SendBoardPositions(g, 0)) {
                        retry = RetryCount;
                        SetMode(retry, id, kDefaultMode);
                    }
                }
            }
        }
    }
    main_.SetChannel(n, main_.ValueCode(n), 0);
    busy_ = false;
}

void TTeaching::SHOT_BTNClick()
{
    if (busy_)
        return;
    busy_ = true;
    setEnabled(false);
    Unlock unlock{this, nullptr};

    if (captured_) {
        for (int n = 1; n <= kChannels; ++n)
            if (saved_[n] == kFree)
                main_.SetChannel(n, kFree, 1);
        if (SendBoth() == 0) {
            Refresh();
            captured_ = false;
        }
        busy_ = false;
        return;
    }

    for (int n = 1; n <= kChannels; ++n)
        saved_[n] = main_.ValueCode(n);
    int failures = SetModeBoth(kTeachingMode);
    if (failures == 0) {
        Settle();
        for (int g = 0; g < 2; ++g) {
            if (!main_.BoardPresent(g))
                continue;
            int retry = RetryCount;
            QByteArray reply;
            if (!GetPositions(retry, uint8_t(main_.BoardId(g)), reply)) {
                failures |= 1 << g;
                continue;
            }
            for (int k = 1; k <= kChannelsPerBoard; ++k) {
                const int n = kChannelsPerBoard * g + k;
                const int v = uint8_t(reply.at(k));
                // The held positions are what the boards get next; source 2 keeps the mode lists.
                main_.SetValueCode(n, v);
                main_.SetChannel(n, v, 2);
            }
        }
        if (failures == 0) {
            failures = SendBoth();
            if (failures == 0) {
                failures = SetModeBoth(kDefaultMode);
                Refresh();
                captured_ = true;
            }
        }
    }
    main_.ShowLinkStatus(failures);
    busy_ = false;
}

void TTeaching::Refresh()
{
    ready_ = false;
    for (int n = 1; n <= kChannels; ++n) {
        const int v = main_.ValueCode(n);
        const bool usable = v < 181 || v == kFree;
        FREE_CHK[n]->setEnabled(usable);
        ANG[n]->setEnabled(usable);
        FREE_CHK[n]->setChecked(v == kFree);
        ANG[n]->setText(QString::number(v));
    }
    ready_ = true;
}

void TTeaching::NOW_BTNClick()
{
    if (busy_)
        return;
    busy_ = true;
    setEnabled(false);
    Unlock unlock{this, nullptr};
    if (main_.EnterSleep()) {
        main_.ReturnToHome();
        main_.ReadBoardPositions();
        ready_ = false;
        for (int n = 1; n <= kChannels; ++n) {
            const int v = main_.ValueCode(n);
            const bool usable = v < 181 || v == kFree;
            FREE_CHK[n]->setEnabled(usable);
            ANG[n]->setEnabled(usable);
            FREE_CHK[n]->setChecked(v == kFree);
            ANG[n]->setText(usable ? QString::number(v) : main_.ValueText(n));
        }
        ready_ = true;
    }
    busy_ = false;
}

void TTeaching::ADDITEM_BTNClick() { main_.AddCurrentPosition(); }

void TTeaching::SPD_LISTCloseUp() { main_.SetSpeed(SPD_LIST->currentIndex()); }

void TTeaching::ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor)
{
    if (channel < 1 || channel > kChannels)
        return;
    THC[channel]->setText(name);
    QPalette text = THC[channel]->palette();
    text.setColor(QPalette::WindowText, orvane::ToQColor(orvane::ResolveColor(textColor)));
    THC[channel]->setPalette(text);
    QPalette panel = PANEL[channel]->palette();
    panel.setColor(QPalette::Window, orvane::ToQColor(orvane::ResolveColor(panelColor)));
    PANEL[channel]->setPalette(panel);
}

int TTeaching::SetModeBoth(uint8_t mode)
{
    int failures = 0;
    for (int g = 0; g < 2; ++g) {
        if (!main_.BoardPresent(g))
            continue;
        int retry = RetryCount;
        if (!SetMode(retry, uint8_t(main_.BoardId(g)), mode))
            failures |= 1 << g;
    }
    return failures;
}

int TTeaching::SendBoth()
{
    int failures = 0;
    for (int g = 0; g < 2; ++g)
        if (!main_.SendBoardPositions(g, 0))
            failures |= 1 << g;
    return failures;
}

void TTeaching::Settle()
{
    // The window stays drawn meanwhile; whoever calls this has disabled it.
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    if (const qint64 left = kSettleMs - clock.elapsed(); left > 0)
        QThread::msleep(unsigned(left));
}
