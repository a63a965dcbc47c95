// TMainForm: its controls, ORV.ini, the port and the windows it opens.

#include "app/main_form.h"

#include "app/main_messages.h"
#include "monitor/monitor_messages.h"
#include "motion/motion_document.h"
#include "motion/motion_form.h"
#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "session/language.h"
#include "session/open_port.h"
#include "session/prompt.h"
#include "session/version.h"
#include "session/window_place.h"
#include "widgets/icons.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>

using orvane::kChannelCount;

namespace {

constexpr int kBitRate = 115200;
constexpr int kPortEntries = 30;

const QColor Navy(0, 0, 128);

// Every text a status field can show, in both languages: a field sized for one language cuts the other's.
QStringList StatusFieldTexts(int field)
{
    QStringList texts;
    for (int language = 0; language < 2; ++language) {
        const auto text = [language](int entry) { return kMainMessages.Text(language, entry); };
        if (field == 0) {
            for (int mode = 0; mode < int(kBoardModeNames.Size()); ++mode)
                texts << kBoardModeNames.Text(language, mode);
        } else if (field == 1 || field == 2) {
            const QString prefix = text(field == 1 ? MsgStatusPrefix1 : MsgStatusPrefix2);
            texts << prefix + text(MsgSuccess) << prefix + text(MsgFault);
        } else {
            for (int entry : {PortLostShort, PortBackShort})
                texts << QString::fromUtf8(kPortWatchMessages.Raw(language, entry)).arg(kPortEntries);
        }
    }
    return texts;
}

// The fixed width that shows the longest text whole in the label's font; never below the old widths.
int StatusFieldWidth(const QLabel *label, int field)
{
    static const int kLeast[4] = {80, 130, 130, 50};
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString &text : StatusFieldTexts(field))
        widest = std::max(widest, metrics.horizontalAdvance(text));
    const QMargins m = label->contentsMargins();
    // A framed label with the default indent also indents by half an 'x'.
    const int frame =
        2 * label->frameWidth() + m.left() + m.right() + 2 * label->margin() + metrics.horizontalAdvance(u'x');
    return std::max(kLeast[field], widest + frame);
}

QFrame *NavyBar(QWidget *parent, int top, int height)
{
    auto *bar = new QFrame(parent);
    bar->setGeometry(0, top, TMainForm::kClientWidth, height);
    bar->setAutoFillBackground(true);
    QPalette p = bar->palette();
    p.setColor(QPalette::Window, Navy);
    bar->setPalette(p);
    return bar;
}

QLabel *Caption(QWidget *parent, const QString &text, int left, int top, int width, int height)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(left, top, width, height);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

QToolButton *IconButton(QWidget *parent, const char *name, int left, int top, int size, int tag = 0)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(OrvaneIcon(button->objectName()));
    button->setIconSize(QSize(size - 6, size - 6));
    button->setGeometry(left, top, size, size);
    button->setProperty("tag", tag);
    return button;
}

QRadioButton *Radio(QWidget *parent, const char *name, const QString &text, int left, int top, int width, int tag = 0)
{
    auto *radio = new QRadioButton(text, parent);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setGeometry(left, top, width, 20);
    radio->setProperty("tag", tag);
    return radio;
}

}  // namespace

TMainForm::TMainForm(const QString &programFolder, Prompt &prompt, QWidget *parent)
    : QWidget(parent), folder_(programFolder), prompt_(prompt)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(orvane::ProgramTitle());
    setWindowIcon(OrvaneIcon(QStringLiteral("Orvane")));
    setFixedSize(kClientWidth, kClientHeight);

    BuildControls();
    for (int n = 1; n <= kChannelCount; ++n) {
        valueCode_[n] = 90;
        valueText_[n] = QStringLiteral("90");
        home_[n] = 90;
        panelColor_[n] = orvane::kButtonFace;
        nameColor_[n] = orvane::ContrastColor(orvane::kButtonFace, orvane::PaletteSystemColors());
    }
    for (auto &layout : layouts_)
        layout = orvane::BuiltInLayout();

    ApplyLanguage();
    LoadSettings();

    for (int i = 0; i <= kPortEntries; ++i) {
        if (i == 0) {
            CommPort->addItem(QStringLiteral("OFF"));
        } else {
            CommPort->addItem(QStringLiteral("COM%1").arg(i));
            CommPort->setItemData(i, DevicePathFor(i), Qt::ToolTipRole);
        }
    }
    CreateSerialPort(nullptr);
    const int port = settings_.commPort >= 1 && settings_.commPort <= 10 ? settings_.commPort : 0;
    CommPort->setCurrentIndex(port);
    if (port != 0)
        CommPortCloseUp();

    speed_ = 7;
    SPD_BTN[7]->setChecked(true);
    dragGuard_ = false;
    stepGuard_ = false;
    hold_ = true;
}

TMainForm::~TMainForm() = default;

int TMainForm::Tag(const QObject *object) { return object ? object->property("tag").toInt() : 0; }

void TMainForm::BuildControls()
{
    // Tool row, then the port and desktop lists.
    MOTION_FILE_BTN = IconButton(this, "MOTION_FILE_BTN", 2, 1, 28);
    HOME_BTN = IconButton(this, "HOME_BTN", 31, 1, 28);
    OPTION_BTN = IconButton(this, "OPTION_BTN", 60, 1, 28);
    OptionMenu3 = IconButton(this, "OptionMenu3", 89, 1, 28);
    SpeedButton1 = IconButton(this, "SpeedButton1", 118, 1, 28);
    INFO_BTN = IconButton(this, "INFO_BTN", 147, 1, 28);
    EXIT_BTN = IconButton(this, "EXIT_BTN", 176, 1, 28);
    MONITOR_BTN = IconButton(this, "MONITOR_BTN", 205, 1, 28);
    auto *monitorKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    connect(monitorKey, &QShortcut::activated, this, [this] { windows_.Open(MONITOR_BTN); });

    // The eighth button moves the port and desktop lists right; the desktop list gives up the room.
    Caption(this, QStringLiteral("COMM"), 237, 5, 44, 20);
    CommPort = new QComboBox(this);
    CommPort->setObjectName(QStringLiteral("CommPort"));
    CommPort->setGeometry(281, 4, 74, 22);
    CommPort->setMaxVisibleItems(16);
    Caption(this, QStringLiteral("DESKTOP"), 359, 5, 66, 20);
    Desktop = new QComboBox(this);
    Desktop->setObjectName(QStringLiteral("Desktop"));
    Desktop->setGeometry(425, 4, 80, 22);
    Desktop->setContextMenuPolicy(Qt::CustomContextMenu);
    NavyBar(this, 31, 3);

    // DATA NAME and SYNC, then SPEED.
    Caption(this, QStringLiteral("DATA NAME"), 4, 36, 80, 20);
    DATA_NAME = new QLineEdit(QStringLiteral("DATA"), this);
    DATA_NAME->setObjectName(QStringLiteral("DATA_NAME"));
    DATA_NAME->setGeometry(86, 36, 200, 20);
    Caption(this, QStringLiteral("SYNC"), 318, 36, 40, 20);
    SYNC_MODE = Radio(this, "SYNC_MODE", QStringLiteral("ON"), 360, 36, 50);
    RadioButton2 = Radio(this, "RadioButton2", QStringLiteral("OFF"), 414, 36, 56);
    RadioButton2->setChecked(true);
    auto *syncGroup = new QButtonGroup(this);
    syncGroup->addButton(SYNC_MODE);
    syncGroup->addButton(RadioButton2);

    Caption(this, QStringLiteral("SPEED"), 4, 59, 50, 20);
    auto *speedGroup = new QButtonGroup(this);
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "SPD_BTN_" + QByteArray::number(i);
        SPD_BTN[i] = Radio(this, name.constData(), QString::number(i), 60 + i * 44, 59, 42, i);
        speedGroup->addButton(SPD_BTN[i]);
        connect(SPD_BTN[i], &QRadioButton::clicked, this, [this, i] { SpeedChange(SPD_BTN[i]); });
    }
    SPD_BTN[7]->setChecked(true);
    NavyBar(this, 81, 3);

    // The channel area: 24 panels and the Segment bar, placed by the desktops.
    ChannelArea = new QWidget(this);
    ChannelArea->setObjectName(QStringLiteral("ChannelArea"));
    ChannelArea->setGeometry(0, 85, orvane::kChannelAreaWidth, orvane::kChannelAreaHeight);
    Segment = new QFrame(ChannelArea);
    Segment->setObjectName(QStringLiteral("Segment"));
    Segment->setProperty("tag", 0);
    Segment->resize(orvane::kSegmentWidth, orvane::kSegmentHeight);
    Segment->setAutoFillBackground(true);
    {
        QPalette p = Segment->palette();
        p.setColor(QPalette::Window, Navy);
        Segment->setPalette(p);
    }
    Segment->installEventFilter(this);
    PANEL[0] = Segment;
    for (int n = 1; n <= kChannelCount; ++n)
        BuildPanel(n);
    MovePanels(0);
    NavyBar(this, 428, 3);

    // TRACKING and RELATIVE.
    Caption(this, QStringLiteral("TRACKING"), 4, 433, 70, 20);
    const char *const trackText[] = {"-10", "-1", "+1", "+10"};
    for (int i = 0; i < 4; ++i) {
        TRACK_BTN[i] = new QPushButton(QString::fromLatin1(trackText[i]), this);
        TRACK_BTN[i]->setObjectName(QStringLiteral("TRACK%1_BTN").arg(i + 1));
        TRACK_BTN[i]->setGeometry(76 + i * 42, 433, 40, 20);
        TRACK_BTN[i]->setProperty("tag", i);
        connect(TRACK_BTN[i], &QPushButton::clicked, this, [this, i] { SYNC_BTNClick(TRACK_BTN[i]); });
    }
    Caption(this, QStringLiteral("RELATIVE"), 290, 433, 68, 20);
    RITV_ON = Radio(this, "RITV_ON", QStringLiteral("ON"), 360, 433, 50);
    RITV_OFF = Radio(this, "RITV_OFF", QStringLiteral("OFF"), 414, 433, 56);
    RITV_OFF->setChecked(true);
    auto *relativeGroup = new QButtonGroup(this);
    relativeGroup->addButton(RITV_ON);
    relativeGroup->addButton(RITV_OFF);
    connect(RITV_ON, &QRadioButton::clicked, this, &TMainForm::RITV_ONClick);
    connect(RITV_OFF, &QRadioButton::clicked, this, &TMainForm::RITV_ONClick);

    // Icon row.
    SHOT_BTN = IconButton(this, "SHOT_BTN", 4, 455, 24);
    SETPOS_BTN = IconButton(this, "SETPOS_BTN", 30, 455, 24);
    GETPOS_BTN = IconButton(this, "GETPOS_BTN", 56, 455, 24);
    NOW_BTN = IconButton(this, "NOW_BTN", 82, 455, 24);
    SLEEP_BTN = IconButton(this, "SLEEP_BTN", 118, 455, 24, 0);
    DEFAULT_BTN = IconButton(this, "DEFAULT_BTN", 144, 455, 24, 1);
    GRID_BTN = IconButton(this, "GRID_BTN", 180, 455, 24, 0);
    GRAPH_BTN = IconButton(this, "GRAPH_BTN", 206, 455, 24, 1);
    ADDITEM_BTN = IconButton(this, "ADDITEM_BTN", 242, 455, 24, 0);
    SpeedButton3 = IconButton(this, "SpeedButton3", 268, 455, 24, 1);

    MONTER = new QStatusBar(this);
    MONTER->setObjectName(QStringLiteral("MONTER"));
    MONTER->setSizeGripEnabled(false);
    MONTER->setGeometry(0, 479, kClientWidth, 19);
    for (int i = 0; i < 4; ++i) {
        fields_[i] = new QLabel(MONTER);
        fields_[i]->setObjectName(QStringLiteral("MONTER_%1").arg(i));
        fields_[i]->setFrameShape(QFrame::Panel);
        fields_[i]->setFrameShadow(QFrame::Sunken);
        fields_[i]->setFixedWidth(StatusFieldWidth(fields_[i], i));
        MONTER->addWidget(fields_[i]);
    }
    connect(&portWatch_, &PortWatch::Lost, this, [this](int portNo, const QString &path) {
        fields_[3]->setText(PortWatchText(PortLostShort, portNo, path));
        fields_[3]->setToolTip(PortWatchText(PortLostLong, portNo, path));
    });
    connect(&portWatch_, &PortWatch::Back, this, [this](int portNo, const QString &path) {
        fields_[3]->setText(PortWatchText(PortBackShort, portNo, path));
        fields_[3]->setToolTip(PortWatchText(PortBackLong, portNo, path));
    });
    fields_[1]->setText(MainMessage(MsgStatusPrefix1).trimmed());
    fields_[2]->setText(MainMessage(MsgStatusPrefix2).trimmed());

    // Buttons of windows that have not joined yet stay disabled (see Windows()).
    for (QToolButton *b : {MOTION_FILE_BTN, HOME_BTN, OPTION_BTN, OptionMenu3, SpeedButton1, INFO_BTN, MONITOR_BTN,
                           SHOT_BTN, GRID_BTN, GRAPH_BTN, ADDITEM_BTN, SpeedButton3})
        b->setEnabled(false);

    connect(CommPort, &QComboBox::activated, this, [this] { CommPortCloseUp(); });
    connect(Desktop, &QComboBox::activated, this, [this] { DesktopCloseUp(); });
    connect(Desktop, &QComboBox::customContextMenuRequested, this, [this] { DesktopContextPopup(); });
    connect(SETPOS_BTN, &QToolButton::clicked, this, &TMainForm::SETPOS_BTNClick);
    connect(GETPOS_BTN, &QToolButton::clicked, this, &TMainForm::GETPOS_BTNClick);
    connect(NOW_BTN, &QToolButton::clicked, this, &TMainForm::NOW_BTNClick);
    connect(SLEEP_BTN, &QToolButton::clicked, this, [this] { DIRECTION_BTNClick(SLEEP_BTN); });
    connect(DEFAULT_BTN, &QToolButton::clicked, this, [this] { DIRECTION_BTNClick(DEFAULT_BTN); });
    connect(ADDITEM_BTN, &QToolButton::clicked, this, [this] { EDITITEM_BTNClick(ADDITEM_BTN); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { EDITITEM_BTNClick(SpeedButton3); });
    connect(EXIT_BTN, &QToolButton::clicked, this, &TMainForm::EXIT_BTNClick);
}

// Settings

void TMainForm::ApplyLanguage()
{
    const std::pair<QWidget *, int> hints[] = {
        {MOTION_FILE_BTN, HintMotionFile},
        {HOME_BTN, HintHome},
        {OPTION_BTN, HintOption},
        {OptionMenu3, HintTransmitter},
        {SpeedButton1, HintLabel},
        {INFO_BTN, HintInfo},
        {EXIT_BTN, HintExit},
        {CommPort, HintCommPort},
        {Desktop, HintDesktop},
        {DATA_NAME, HintDataName},
        {SYNC_MODE, HintSyncOn},
        {RadioButton2, HintSyncOff},
        {SHOT_BTN, HintShot},
        {SETPOS_BTN, HintSetPos},
        {GETPOS_BTN, HintGetPos},
        {NOW_BTN, HintNow},
        {SLEEP_BTN, HintSleep},
        {DEFAULT_BTN, HintDefault},
        {GRID_BTN, HintGrid},
        {GRAPH_BTN, HintGraph},
        {ADDITEM_BTN, HintAddItem},
        {SpeedButton3, HintOverwrite},
    };
    for (const auto &[control, entry] : hints)
        control->setToolTip(MainMessage(entry));
    MONITOR_BTN->setToolTip(MonitorText(MonTitle));
    for (QRadioButton *b : SPD_BTN)
        b->setToolTip(MainMessage(HintSpeed));
    for (int n = 1; n <= kChannelCount; ++n)
        CH_LAB[n]->setToolTip(MainMessage(HintChannelLabel));
    Desktop->insertItem(0, MainMessage(MsgStandardDesktop));
    // The home file dialogs take their filters and titles from the home dialog's own table.
    fields_[0]->setText(BoardModeText(ModeNameDefault));
}

void TMainForm::LoadSettings()
{
    settings_ = orvane::LoadSettings(folder_);
    for (auto it = settings_.portPaths.cbegin(); it != settings_.portPaths.cend(); ++it)
        SetDevicePath(it.key(), it.value());

    boards_.SetIds(settings_.ch1to12Id, settings_.ch13to24Id);
    PlaceWindow(settings_.mainTop, settings_.mainLeft);

    for (int n = 1; n <= kChannelCount; ++n) {
        CH_LAB[n]->setText(settings_.servoNames[n - 1]);
        panelColor_[n] = settings_.panelColors[n - 1];
        nameColor_[n] = orvane::ContrastColor(panelColor_[n], orvane::PaletteSystemColors());
        ApplyPanelColor(n);
        PANEL[n]->setVisible(settings_.panelViews[n - 1]);
    }
    // Entry 0 is the one ApplyLanguage put there.
    while (Desktop->count() > 1)
        Desktop->removeItem(1);
    for (int d = 1; d <= orvane::kDesktopCount; ++d) {
        Desktop->addItem(settings_.panelNames[d - 1]);
        layouts_[d - 1] = settings_.desktops[d - 1];
    }
    const int list = settings_.panelList;
    Desktop->setCurrentIndex(list >= 0 && list <= orvane::kDesktopCount ? list : -1);
    for (int n = 1; n <= kChannelCount; ++n)
        home_[n] = settings_.homePos[n - 1];

    QString error;
    if (!orvane::CheckSettingsWritable(folder_, &error))
        prompt_.Message(PromptIcon::Warning, MainMessage(MsgWarning), MainMessage(MsgCopyToWritable),
                        PromptButtons::Ok);
    MovePanels(SelectedDesktop());
}

void TMainForm::SaveSettings()
{
    orvane::MainSettings s = settings_;
    s.commPort = CommPort->currentIndex();
    s.ch1to12Id = boards_.Id(0);
    s.ch13to24Id = boards_.Id(1);
    s.mainTop = pos().y();
    s.mainLeft = pos().x();
    windows_.KeepSettings(s);
    for (int n = 1; n <= kChannelCount; ++n) {
        s.servoNames[n - 1] = CH_LAB[n]->text();
        s.panelColors[n - 1] = panelColor_[n];
        s.panelViews[n - 1] = !PANEL[n]->isHidden();
        s.homePos[n - 1] = home_[n];
    }
    s.panelList = Desktop->currentIndex();
    for (int d = 1; d <= orvane::kDesktopCount; ++d) {
        s.panelNames[d - 1] = Desktop->itemText(d);
        s.desktops[d - 1] = layouts_[d - 1];
    }
    QString error;
    if (!orvane::SaveSettings(folder_, s, &error)) {
        prompt_.Message(PromptIcon::Warning, MainMessage(MsgWarning), MainMessage(MsgCopyToWritable),
                        PromptButtons::Ok);
        return;
    }
    settings_ = s;
}

void TMainForm::PlaceWindow(int top, int left)
{
    if (orvane::SavedPlaceOnScreen(top, left))
        move(left, top);
    else
        move(orvane::CentredOnScreen(frameGeometry().size().expandedTo(size())));
}

// Port

void TMainForm::CommPortCloseUp()
{
    // A port lost earlier is no longer waited for: only the port chosen now is ever opened.
    portWatch_.Chosen();
    fields_[3]->clear();
    fields_[3]->setToolTip(QString());
    ClosePort();
    const int entry = CommPort->currentIndex();
    if (entry <= 0) {
        prompt_.Message(PromptIcon::Information, MainMessage(MsgConfirm), MainMessage(MsgPortOff), PromptButtons::Ok);
        return;
    }
    SetupPort(entry, kBitRate);
    OpenPortChecked(prompt_);
}

void TMainForm::EDITITEM_BTNClick(QAbstractButton *sender)
{
    if (Tag(sender) == 0)
        AddCurrentPosition();
    else
        OverwriteSelectedPositions();
}

QStringList TMainForm::ValueTexts() const
{
    QStringList texts;
    for (int n = 1; n <= kChannelCount; ++n)
        texts << valueText_[n];
    return texts;
}

void TMainForm::AddCurrentPosition()
{
    if (TMotionForm *motion = windows_.Find<TMotionForm>())
        motion->AppendPosition(DATA_NAME->text(), QString::number(speed_), ValueTexts());
}

void TMainForm::AddPositions(const QList<QStringList> &rows)
{
    // A recording is one undo step, however many rows it became.
    TMotionForm *motion = windows_.Find<TMotionForm>();
    if (!motion || rows.isEmpty())
        return;
    QList<orvane::PositionTexts> positions;
    positions.reserve(rows.size());
    for (const QStringList &values : rows)
        positions.append({DATA_NAME->text(), QString::number(speed_), values});
    motion->Document().AppendRows(positions);
}

void TMainForm::OverwriteSelectedPositions()
{
    TMotionForm *motion = windows_.Find<TMotionForm>();
    if (!motion)
        return;
    const QList<int> rows = motion->SelectedRows();
    if (rows.isEmpty()) {
        prompt_.Message(PromptIcon::Information, MainMessage(MsgConfirm), MainMessage(MsgSelectToReplace),
                        PromptButtons::Ok);
        return;
    }
    QString question;
    if (rows.size() > 1)
        question = MainMessage(MsgOverwriteMany);
    else if (LanguageIndex == 0)
        question = QString::number(rows.first() + 1) + MainMessage(MsgOverwriteOne);
    else
        question = QStringLiteral("overwrite on %1 OK?").arg(rows.first() + 1);
    if (prompt_.Message(PromptIcon::Question, MainMessage(MsgConfirm), question, PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return;
    motion->OverwriteSelected(DATA_NAME->text(), QString::number(speed_), ValueTexts());
}

// Windows shown from here

void TMainForm::HOME_BTNClick() { windows_.Open(HOME_BTN); }

void TMainForm::NAME_CHANGEDblClick() { windows_.Open(SpeedButton1); }

void TMainForm::VIEW_BTNClick(QAbstractButton *sender) { windows_.Open(sender); }
