#include "app/main_form.h"

#include "app/home_dialog.h"
#include "app/home_ops.h"
#include "app/label_dialog.h"
#include "app/main_messages.h"
#include "app/resources/icons.h"
#include "graph/graph_form.h"
#include "motion/motion_form.h"
#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "session/language.h"
#include "session/open_port.h"
#include "session/prompt.h"
#include "session/window_place.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int PerBoard = orvane::kChannelsPerBoard;
constexpr int BitRate = 115200;
constexpr int PortEntries = 30;
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Aqua = 0xFFFF00;
constexpr uint32_t Yellow = 0x00FFFF;
const QColor Navy(0, 0, 128);

// Every text a status field can show, in both languages: a field sized for one language cuts the other's.
QStringList StatusFieldTexts(int field)
{
    QStringList texts;
    for (int language = 0; language < 2; ++language) {
        const auto text = [language](int entry) { return QString::fromUtf8(MainMessages[language][entry]); };
        if (field == 0) {
            for (const char *name : BoardModeNames[language])
                texts << QString::fromUtf8(name);
        } else if (field == 1 || field == 2) {
            const QString prefix = text(field == 1 ? MsgStatusPrefix1 : MsgStatusPrefix2);
            texts << prefix + text(MsgSuccess) << prefix + text(MsgFault);
        }
    }
    return texts;
}

// The fixed width that shows the longest of `texts` whole in the label's font; never below the old widths.
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

const char *const ModeNames[] = {"PWM", "FREE", "SET1", "SET2", "SET3", "-L-", "-H-"};
constexpr int ModeCount = 7;

QFrame *NavyBar(QWidget *parent, int top, int height)
{
    auto *bar = new QFrame(parent);
    bar->setGeometry(0, top, TMainForm::ClientWidth, height);
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
    setWindowTitle(QStringLiteral("Orvane Ver1.4"));
    setWindowIcon(OrvaneIcon(QStringLiteral("Orvane")));
    setFixedSize(ClientWidth, ClientHeight);

    BuildControls();
    for (int n = 1; n <= Channels; ++n) {
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

    for (int i = 0; i <= PortEntries; ++i) {
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

    Caption(this, QStringLiteral("COMM"), 210, 5, 44, 20);
    CommPort = new QComboBox(this);
    CommPort->setObjectName(QStringLiteral("CommPort"));
    CommPort->setGeometry(254, 4, 74, 22);
    CommPort->setMaxVisibleItems(16);
    Caption(this, QStringLiteral("DESKTOP"), 334, 5, 66, 20);
    Desktop = new QComboBox(this);
    Desktop->setObjectName(QStringLiteral("Desktop"));
    Desktop->setGeometry(400, 4, 104, 22);
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
    for (int n = 1; n <= Channels; ++n)
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
    MONTER->setGeometry(0, 479, ClientWidth, 19);
    for (int i = 0; i < 4; ++i) {
        fields_[i] = new QLabel(MONTER);
        fields_[i]->setObjectName(QStringLiteral("MONTER_%1").arg(i));
        fields_[i]->setFrameShape(QFrame::Panel);
        fields_[i]->setFrameShadow(QFrame::Sunken);
        fields_[i]->setFixedWidth(StatusFieldWidth(fields_[i], i));
        MONTER->addWidget(fields_[i]);
    }
    fields_[1]->setText(MainMessage(MsgStatusPrefix1).trimmed());
    fields_[2]->setText(MainMessage(MsgStatusPrefix2).trimmed());

    // Windows that do not exist yet keep their buttons disabled.
    for (QToolButton *b : {MOTION_FILE_BTN, HOME_BTN, OPTION_BTN, OptionMenu3, SpeedButton1, INFO_BTN, SHOT_BTN,
                           GRID_BTN, GRAPH_BTN, ADDITEM_BTN, SpeedButton3})
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
    connect(GRID_BTN, &QToolButton::clicked, this, [this] { VIEW_BTNClick(GRID_BTN); });
    connect(GRAPH_BTN, &QToolButton::clicked, this, [this] { VIEW_BTNClick(GRAPH_BTN); });
    connect(HOME_BTN, &QToolButton::clicked, this, &TMainForm::HOME_BTNClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::NAME_CHANGEDblClick);
    connect(EXIT_BTN, &QToolButton::clicked, this, &TMainForm::EXIT_BTNClick);
    auto showModal = [](QDialog *dialog) {
        if (dialog)
            dialog->exec();
    };
    connect(OPTION_BTN, &QToolButton::clicked, this, [this, showModal] { showModal(optionDialog_); });
    connect(MOTION_FILE_BTN, &QToolButton::clicked, this, [this, showModal] { showModal(scenarioEditor_); });
    connect(OptionMenu3, &QToolButton::clicked, this, [this, showModal] { showModal(propoDialog_); });
    connect(INFO_BTN, &QToolButton::clicked, this, [this, showModal] { showModal(infoDialog_); });
}

QWidget *TMainForm::BuildPanel(int n)
{
    auto *panel = new QFrame(ChannelArea);
    panel->setObjectName(QStringLiteral("PANEL_%1").arg(n));
    panel->setProperty("tag", n);
    panel->resize(orvane::kChannelPanelWidth, orvane::kChannelPanelHeight);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->installEventFilter(this);
    PANEL[n] = panel;

    auto *label = new QLabel(QStringLiteral("CH%1").arg(n), panel);
    label->setObjectName(QStringLiteral("CH%1_LAB").arg(n));
    label->setProperty("tag", n);
    label->setGeometry(3, 0, 45, 24);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->installEventFilter(this);
    CH_LAB[n] = label;

    auto *sync = new QCheckBox(panel);
    sync->setObjectName(QStringLiteral("CH%1_SYNC").arg(n));
    sync->setGeometry(49, 4, 16, 16);
    CH_SYNC[n] = sync;

    auto *caption = new QLineEdit(QStringLiteral("90"), panel);
    caption->setObjectName(QStringLiteral("CH%1_CAPTION").arg(n));
    caption->setProperty("tag", n);
    caption->setReadOnly(true);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setGeometry(66, 2, 34, 20);
    caption->setFocusPolicy(Qt::NoFocus);
    CH_CAPTION[n] = caption;

    auto *bar = new QScrollBar(Qt::Horizontal, panel);
    bar->setObjectName(QStringLiteral("CH%1_BAR").arg(n));
    bar->setProperty("tag", n);
    bar->setRange(0, 180);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(90);
    bar->setGeometry(102, 4, 92, 16);
    CH_BAR[n] = bar;
    ConnectSlider(bar);

    auto *mode = new QComboBox(panel);
    mode->setObjectName(QStringLiteral("CH%1_MODE").arg(n));
    mode->setProperty("tag", n);
    for (const char *name : ModeNames)
        mode->addItem(QString::fromLatin1(name));
    mode->setCurrentIndex(0);
    mode->setGeometry(196, 2, 56, 20);
    CH_MODE[n] = mode;
    connect(mode, &QComboBox::activated, this, [this, mode] { ChangePortCondition(mode); });

    ApplyPanelColor(n);
    return panel;
}

void TMainForm::ConnectSlider(QScrollBar *bar)
{
    // Dragging reports through sliderMoved: it also arrives while a transaction waits (actionTriggered does
    // not), which is what the drag guard is there for. Steps come as actions; releases through the filter.
    bar->setTracking(false);
    bar->setContextMenuPolicy(Qt::NoContextMenu);
    bar->installEventFilter(this);
    connect(bar, &QScrollBar::sliderMoved, this, [this, bar](int position) {
        int pos = position;
        CH1_BARScroll(bar, ScrollCode::Track, pos);
        if (pos != position)
            bar->setSliderPosition(pos);
    });
    connect(bar, &QScrollBar::actionTriggered, this, [this, bar](int action) {
        ScrollCode code;
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: code = ScrollCode::LineDown; break;
        case QAbstractSlider::SliderSingleStepSub: code = ScrollCode::LineUp; break;
        case QAbstractSlider::SliderPageStepAdd: code = ScrollCode::PageDown; break;
        case QAbstractSlider::SliderPageStepSub: code = ScrollCode::PageUp; break;
        case QAbstractSlider::SliderToMinimum: code = ScrollCode::Top; break;
        case QAbstractSlider::SliderToMaximum: code = ScrollCode::Bottom; break;
        default: code = ScrollCode::Position; break;
        }
        int pos = bar->sliderPosition();
        const int proposed = pos;
        CH1_BARScroll(bar, code, pos);
        if (pos != proposed)
            bar->setSliderPosition(pos);
    });
}

void TMainForm::CH1_BARScroll(QScrollBar *sender, ScrollCode code, int &pos)
{
    const int n = Tag(sender);
    if (n < 1 || n > Channels)
        return;
    switch (code) {
    case ScrollCode::Track:
        if (dragGuard_) {
            pos = sender->value();
            return;
        }
        dragGuard_ = true;
        stepGuard_ = true;
        TrackOrStep(sender, n, pos);
        dragGuard_ = false;
        stepGuard_ = false;
        return;
    case ScrollCode::LineUp:
    case ScrollCode::LineDown:
    case ScrollCode::PageUp:
    case ScrollCode::PageDown:
        if (stepGuard_) {
            pos = sender->value();
            return;
        }
        stepGuard_ = true;
        TrackOrStep(sender, n, pos);
        return;
    case ScrollCode::EndScroll:
        sender->setEnabled(true);
        stepGuard_ = false;
        return;
    default: return;
    }
}

void TMainForm::TrackOrStep(QScrollBar *bar, int n, int pos)
{
    // Committed at once, so that events handled while the frame goes out see the new position.
    bar->setValue(pos);
    valueText_[n] = QString::number(pos);
    ShowChannelValue(n);
    valueCode_[n] = pos;
    if (SyncMode())
        SendBoardPositions((n - 1) / PerBoard, 0);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *bar = qobject_cast<QScrollBar *>(watched)) {
        if (event->type() == QEvent::MouseButtonRelease
            || (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent *>(event)->isAutoRepeat())) {
            int pos = bar->sliderPosition();
            CH1_BARScroll(bar, ScrollCode::EndScroll, pos);
        } else if (event->type() == QEvent::Wheel) {
            // A wheel notch is one line step, ended at once.
            const auto *wheel = static_cast<QWheelEvent *>(event);
            const int delta = wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
            if (delta != 0) {
                bar->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub
                                             : QAbstractSlider::SliderSingleStepAdd);
                int pos = bar->sliderPosition();
                CH1_BARScroll(bar, ScrollCode::EndScroll, pos);
            }
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }

    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return QWidget::eventFilter(watched, event);
    const bool isLabel = qobject_cast<QLabel *>(watched) != nullptr;
    const int panel = Tag(watched);
    if (panel < 0 || panel > Channels || (watched != PANEL[panel] && watched != CH_LAB[panel]))
        return QWidget::eventFilter(watched, event);
    auto panelPos = [&](const QMouseEvent *mouse) {
        QPoint p = mouse->position().toPoint();
        if (isLabel)
            p += widget->pos();
        return p;
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        PANELMouseDown(panel, mouse->button(), mouse->modifiers(), panelPos(mouse));
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        PANELMouseMove(panel, mouse->buttons(), mouse->modifiers(), panelPos(mouse));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (panel != 0)
            NAME_CHANGEDblClick();
        return true;
    default: return QWidget::eventFilter(watched, event);
    }
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
    for (QRadioButton *b : SPD_BTN)
        b->setToolTip(MainMessage(HintSpeed));
    for (int n = 1; n <= Channels; ++n)
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

    for (int n = 1; n <= Channels; ++n) {
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
    for (int n = 1; n <= Channels; ++n)
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
    if (motionForm_) {
        const MotionFormPlacement list = motionForm_->Placement();
        s.listView = list.visible;
        s.listTop = list.top;
        s.listLeft = list.left;
        s.listWidth = list.width;
        s.listHeight = list.height;
    }
    if (graphForm_) {
        const GraphPlacement graph = graphForm_->Placement();
        s.graphView = graph.view;
        s.graphTop = graph.top;
        s.graphLeft = graph.left;
        s.graphWidth = graph.width;
    }
    for (int n = 1; n <= Channels; ++n) {
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
    ClosePort();
    const int entry = CommPort->currentIndex();
    if (entry <= 0) {
        prompt_.Message(PromptIcon::Information, MainMessage(MsgConfirm), MainMessage(MsgPortOff), PromptButtons::Ok);
        return;
    }
    SetupPort(entry, BitRate);
    OpenPortChecked(prompt_);
}

// Live control

int TMainForm::ValueCode(int channel) const { return channel >= 1 && channel <= Channels ? valueCode_[channel] : 0; }

QString TMainForm::ValueText(int channel) const
{
    return channel >= 1 && channel <= Channels ? valueText_[channel] : QString();
}

int TMainForm::HomeValue(int channel) const { return channel >= 1 && channel <= Channels ? home_[channel] : 90; }

void TMainForm::SetHomeValue(int channel, int value)
{
    if (channel >= 1 && channel <= Channels)
        home_[channel] = value;
}

int TMainForm::BoardId(int group) const { return boards_.Id(group); }

bool TMainForm::SyncMode() const { return SYNC_MODE->isChecked(); }

void TMainForm::SetChannel(int n, int v, int source)
{
    if (n < 1 || n > Channels)
        return;
    valueText_[n] = QString::number(v);
    ShowChannelValue(n);
    if (source != 2)
        valueCode_[n] = v;
    if (v >= 0 && v <= 180) {
        CH_BAR[n]->setVisible(true);
        CH_SYNC[n]->setVisible(true);
        CH_BAR[n]->setValue(v);
        if (source != 2)
            CH_MODE[n]->setCurrentIndex(0);
    } else if (v >= 221 && v <= 224) {
        CH_BAR[n]->setVisible(true);
        CH_SYNC[n]->setVisible(true);
        CH_MODE[n]->setCurrentIndex(v - 220);
    } else if (v == 225 || v == 226) {
        CH_BAR[n]->setVisible(false);
        CH_SYNC[n]->setVisible(false);
        CH_MODE[n]->setCurrentIndex(v - 220);
    } else if (v == 227) {
        CH_BAR[n]->setVisible(true);
        CH_SYNC[n]->setVisible(true);
        CH_MODE[n]->setCurrentIndex(-1);
    }
}

void TMainForm::ShowChannelValue(int n)
{
    if (n < 1 || n > Channels)
        return;
    const int t = valueText_[n].toInt();
    uint32_t color = White;
    QString shown = QString::number(t);
    if (RITV_ON->isChecked()) {
        const int h = home_[n];
        const bool position = t >= 0 && t <= 180;
        if (h >= 0 && h <= 180 && position) {
            color = Aqua;
            shown = QString::number(t - h);
        } else {
            color = Yellow;
            shown = QString::number(position ? t - 90 : t);
        }
    }
    QLineEdit *box = CH_CAPTION[n];
    QPalette p = box->palette();
    p.setColor(QPalette::Base, orvane::ToQColor(color));
    p.setColor(QPalette::Text, Qt::black);
    box->setPalette(p);
    box->setText(shown);
}

bool TMainForm::SendBoardPositions(int group, int speed)
{
    if (group < 0 || group > 1)
        return true;
    return boards_.SendPositions(group, speed, valueCode_);
}

void TMainForm::ChangePortCondition(QComboBox *sender)
{
    const int n = Tag(sender);
    if (n < 1 || n > Channels)
        return;
    const int i = sender->currentIndex();
    const int v = i != 0 ? 220 + i : CH_BAR[n]->value();
    SetChannel(n, v, 1);
    if (SyncMode())
        SendBoardPositions((n - 1) / PerBoard, 0);
}

void TMainForm::SYNC_BTNClick(QAbstractButton *sender)
{
    static const int steps[4] = {-10, -1, 1, 10};
    const int tag = Tag(sender);
    if (tag < 0 || tag > 3)
        return;
    const int d = steps[tag];
    std::array<int, Channels + 1> q{};
    for (int n = 1; n <= Channels; ++n) {
        if (!CH_SYNC[n]->isChecked())
            continue;
        q[n] = CH_BAR[n]->value() + d;
        if (q[n] < 0 || q[n] > 180)
            return;
    }
    for (int n = 1; n <= Channels; ++n) {
        if (!CH_SYNC[n]->isChecked())
            continue;
        CH_BAR[n]->setValue(q[n]);
        valueText_[n] = QString::number(q[n]);
        ShowChannelValue(n);
        valueCode_[n] = q[n];
    }
    if (SyncMode())
        ShowLinkStatus(boards_.SendBoth(0, valueCode_));
}

void TMainForm::SpeedChange(QAbstractButton *sender)
{
    const int tag = Tag(sender);
    if (tag >= 0 && tag <= 7)
        speed_ = tag;
}

void TMainForm::RITV_ONClick()
{
    for (int n = 1; n <= Channels; ++n)
        ShowChannelValue(n);
}

void TMainForm::SETPOS_BTNClick()
{
    for (int n = 1; n <= Channels; ++n) {
        const int i = CH_MODE[n]->currentIndex();
        // No entry chosen (a 227 read back): the code stays as the board gave it.
        if (i > 0)
            valueCode_[n] = 220 + i;
        else if (i == 0)
            valueCode_[n] = CH_BAR[n]->value();
    }
    ShowLinkStatus(boards_.SendBoth(speed_, valueCode_));
}

bool TMainForm::ReadBoardPositions()
{
    int mask = 0;
    std::array<uint8_t, 2> mode{{0, 0}};
    for (int g = 0; g < 2; ++g) {
        if (!BoardPresent(g))
            continue;
        int retry = MainRetryCount;
        if (!GetMode(retry, uint8_t(boards_.Id(g)), mode[g]))
            mask |= 1 << g;
    }
    if (BoardPresent(0) && BoardPresent(1) && mode[1] != mode[0])
        mask = 3;
    if (mask == 0) {
        const int first = FirstPresentGroup();
        if (first >= 0)
            ShowBoardMode(mode[first]);
        for (int g = 0; g < 2; ++g) {
            if (!BoardPresent(g))
                continue;
            int retry = MainRetryCount;
            QByteArray reply;
            if (!GetPositions(retry, uint8_t(boards_.Id(g)), reply)) {
                mask |= 1 << g;
                continue;
            }
            for (int k = 1; k <= PerBoard; ++k)
                SetChannel(PerBoard * g + k, uint8_t(reply.at(k)), mode[g]);
        }
    }
    ShowLinkStatus(mask);
    return mask == 0;
}

void TMainForm::GETPOS_BTNClick() { ReadBoardPositions(); }

void TMainForm::ShowLinkStatus(int mask)
{
    const QString ok = MainMessage(MsgSuccess);
    const QString fault = MainMessage(MsgFault);
    fields_[1]->setText(MainMessage(MsgStatusPrefix1) + ((mask & 1) ? fault : ok));
    fields_[2]->setText(MainMessage(MsgStatusPrefix2) + ((mask & 2) ? fault : ok));
}

void TMainForm::ShowBoardMode(int b)
{
    static const int names[4] = {ModeNameDefault, ModeNameSleep, ModeNameTeaching, ModeNameDefault3};
    if (b >= 0 && b <= 3)
        fields_[0]->setText(BoardModeText(names[b]));
}

QString TMainForm::StatusField(int field) const { return field >= 0 && field < 4 ? fields_[field]->text() : QString(); }

void TMainForm::DIRECTION_BTNClick(QAbstractButton *sender)
{
    const int tag = Tag(sender);
    if (tag != 0 && tag != 1)
        return;
    fields_[0]->setText(BoardModeText(tag == 0 ? ModeNameSleep : ModeNameDefault));
    ShowLinkStatus(boards_.SetModeAll(tag == 0 ? 1 : 0));
}

bool TMainForm::EnterSleep()
{
    const int mask = boards_.SetModeAll(1);
    if (mask != 0) {
        ShowLinkStatus(mask);
        return false;
    }
    fields_[0]->setText(BoardModeText(ModeNameSleep));
    ShowLinkStatus(0);
    return true;
}

bool TMainForm::ReleaseSleep()
{
    const int mask = boards_.SetModeAll(0);
    if (mask != 0) {
        ShowLinkStatus(mask);
        return false;
    }
    fields_[0]->setText(BoardModeText(ModeNameDefault));
    ShowLinkStatus(0);
    return true;
}

bool TMainForm::EnsureSleep()
{
    switch (boards_.CheckSleep()) {
    case orvane::BoardOperations::SleepState::NoAnswer: return false;
    case orvane::BoardOperations::SleepState::NoBoard:
    case orvane::BoardOperations::SleepState::Asleep: return true;
    case orvane::BoardOperations::SleepState::Awake: break;
    }
    prompt_.Message(PromptIcon::Warning, MainMessage(MsgWarning), MainMessage(MsgServoStop), PromptButtons::Ok);
    return EnterSleep();
}

void TMainForm::ReturnToHome()
{
    using State = orvane::BoardOperations::SleepState;
    switch (boards_.CheckSleep()) {
    case State::NoAnswer: ShowLinkStatus(3); return;
    case State::Awake: EnterSleep(); return;
    case State::NoBoard:
    case State::Asleep: break;
    }
    if (prompt_.Message(PromptIcon::Warning, MainMessage(MsgWarning), MainMessage(MsgServoStart),
                        PromptButtons::OkCancel)
        != PromptAnswer::Ok)
        return;
    if (!GetHomeFromBoard(*this)) {
        ShowLinkStatus(3);
        return;
    }
    for (int n = 1; n <= Channels; ++n)
        valueCode_[n] = home_[n];
    const int mask = boards_.ReturnToHome(home_);
    if (SyncMode())
        for (int n = 1; n <= Channels; ++n)
            SetChannel(n, home_[n], 1);
    fields_[0]->setText(BoardModeText(ModeNameDefault));
    ShowLinkStatus(mask);
}

void TMainForm::NOW_BTNClick()
{
    if (EnterSleep())
        ReturnToHome();
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
    for (int n = 1; n <= Channels; ++n)
        texts << valueText_[n];
    return texts;
}

void TMainForm::AddCurrentPosition()
{
    if (motionForm_)
        motionForm_->AppendPosition(DATA_NAME->text(), QString::number(speed_), ValueTexts());
}

void TMainForm::OverwriteSelectedPositions()
{
    if (!motionForm_)
        return;
    const QList<int> rows = motionForm_->SelectedRows();
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
    motionForm_->OverwriteSelected(DATA_NAME->text(), QString::number(speed_), ValueTexts());
}

// Windows shown from here

void TMainForm::SetHomeDialog(THomeDialog *dialog)
{
    homeDialog_ = dialog;
    HOME_BTN->setEnabled(dialog != nullptr);
}

void TMainForm::SetLabelDialog(TLabelDialog *dialog)
{
    labelDialog_ = dialog;
    SpeedButton1->setEnabled(dialog != nullptr);
}

void TMainForm::SetMotionForm(TMotionForm *form)
{
    motionForm_ = form;
    for (QToolButton *b : {GRID_BTN, ADDITEM_BTN, SpeedButton3})
        b->setEnabled(form != nullptr);
    if (!form)
        return;
    connect(form, &TMotionForm::DataNameHandedOver, this, [this](const QString &name) { DATA_NAME->setText(name); });
    connect(form, &TMotionForm::SpeedHandedOver, this, [this](int speed) {
        if (speed < 0 || speed > 7)
            return;
        SPD_BTN[speed]->setChecked(true);
        SpeedChange(SPD_BTN[speed]);
    });
    connect(form, &TMotionForm::GraphRedrawRequested, this, [this](int rows) {
        if (graphForm_)
            graphForm_->Redraw(rows);
    });
}

void TMainForm::SetGraphForm(TGraphForm *form)
{
    graphForm_ = form;
    GRAPH_BTN->setEnabled(form != nullptr);
    if (form)
        AddChannelLookListener(form);
}

void TMainForm::SetWindow(Window which, QDialog *dialog)
{
    switch (which) {
    case Window::OptionDialog:
        optionDialog_ = dialog;
        OPTION_BTN->setEnabled(dialog != nullptr);
        break;
    case Window::ScenarioEditor:
        scenarioEditor_ = dialog;
        MOTION_FILE_BTN->setEnabled(dialog != nullptr);
        break;
    case Window::PropoDialog:
        propoDialog_ = dialog;
        OptionMenu3->setEnabled(dialog != nullptr);
        break;
    case Window::InfoDialog:
        infoDialog_ = dialog;
        INFO_BTN->setEnabled(dialog != nullptr);
        break;
    }
}

void TMainForm::HOME_BTNClick()
{
    if (homeDialog_)
        RunHomeDialog(*homeDialog_, *this);
}

void TMainForm::NAME_CHANGEDblClick()
{
    if (labelDialog_)
        RunLabelDialog(*labelDialog_, *this);
}

void TMainForm::VIEW_BTNClick(QAbstractButton *sender)
{
    QWidget *window = Tag(sender) == 0 ? static_cast<QWidget *>(motionForm_) : static_cast<QWidget *>(graphForm_);
    if (window)
        window->setVisible(!window->isVisible());
}

// Channel looks

QString TMainForm::ChannelName(int channel) const
{
    return channel >= 1 && channel <= Channels ? CH_LAB[channel]->text() : QString();
}

uint32_t TMainForm::PanelColor(int channel) const
{
    return channel >= 1 && channel <= Channels ? panelColor_[channel] : orvane::kButtonFace;
}

uint32_t TMainForm::NameColor(int channel) const
{
    return channel >= 1 && channel <= Channels ? nameColor_[channel] : orvane::kBlack;
}

bool TMainForm::PanelVisible(int channel) const
{
    return channel >= 1 && channel <= Channels && !PANEL[channel]->isHidden();
}

void TMainForm::ApplyPanelColor(int n)
{
    QPalette p = PANEL[n]->palette();
    p.setColor(QPalette::Window, orvane::ToQColor(orvane::ResolveColor(panelColor_[n], orvane::PaletteSystemColors())));
    PANEL[n]->setPalette(p);
    QPalette lp = CH_LAB[n]->palette();
    lp.setColor(QPalette::WindowText, orvane::ToQColor(nameColor_[n]));
    CH_LAB[n]->setPalette(lp);
}

void TMainForm::SetChannelLook(int channel, const QString &name, uint32_t panelColor, uint32_t nameColor, bool visible)
{
    if (channel < 1 || channel > Channels)
        return;
    CH_LAB[channel]->setText(name);
    panelColor_[channel] = panelColor;
    nameColor_[channel] = nameColor;
    ApplyPanelColor(channel);
    PANEL[channel]->setVisible(visible);
    NotifyLook(channel);
}

void TMainForm::TellLook(ChannelLookListener *listener, int channel) const
{
    listener->ChannelLookChanged(channel, CH_LAB[channel]->text(),
                                 orvane::ResolveColor(panelColor_[channel], orvane::PaletteSystemColors()),
                                 nameColor_[channel]);
}

void TMainForm::NotifyLook(int channel)
{
    for (ChannelLookListener *listener : listeners_)
        TellLook(listener, channel);
}

void TMainForm::AddChannelLookListener(ChannelLookListener *listener)
{
    if (!listener)
        return;
    listeners_.push_back(listener);
    for (int n = 1; n <= Channels; ++n)
        TellLook(listener, n);
}

// Desktops

int TMainForm::SelectedDesktop() const { return Desktop->currentIndex(); }

void TMainForm::MovePanels(int desktop)
{
    const bool named = desktop >= 1 && desktop <= orvane::kDesktopCount;
    for (int p = 0; p < orvane::kPanelCount; ++p) {
        const orvane::PanelPos pos = named ? layouts_[desktop - 1][p] : orvane::BuiltInPanelPos(p);
        PANEL[p]->move(pos.left, pos.top);
    }
}

void TMainForm::DesktopCloseUp() { MovePanels(SelectedDesktop()); }

void TMainForm::DesktopContextPopup()
{
    const int i = SelectedDesktop();
    if (i < 1 || i > orvane::kDesktopCount)
        return;
    QString name = Desktop->itemText(i);
    if (!prompt_.Input(MainMessage(MsgDesktopCaption), MainMessage(MsgDesktopPrompt), name))
        return;
    Desktop->setItemText(i, name);
    Desktop->setCurrentIndex(i);
}

void TMainForm::PANELMouseDown(int panel, Qt::MouseButton, Qt::KeyboardModifiers, QPoint pos)
{
    if (hold_ || panel < 0 || panel > Channels)
        return;
    grab_ = pos;
    PANEL[panel]->raise();
}

void TMainForm::PANELMouseMove(int panel, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    if (hold_ || panel < 0 || panel > Channels)
        return;
    if (buttons != Qt::LeftButton
        || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return;
    // Only the ten named desktops store a layout; "Standard" and no selection stay put.
    const int d = SelectedDesktop();
    if (d < 1 || d > orvane::kDesktopCount)
        return;
    QWidget *w = PANEL[panel];
    const orvane::PanelPos wanted{w->x() + pos.x() - grab_.x(), w->y() + pos.y() - grab_.y()};
    const orvane::PanelPos at = orvane::ClampToChannelArea(wanted, orvane::SizeOfPanel(panel));
    w->move(at.left, at.top);
    layouts_[d - 1][panel] = at;
}

// Closing

void TMainForm::EXIT_BTNClick() { close(); }

bool TMainForm::FormClose()
{
    SaveSettings();
    if (motionForm_ && motionForm_->HasRows()
        && prompt_.Message(PromptIcon::Question, MainMessage(MsgConfirm), MainMessage(MsgSaveMotion),
                           PromptButtons::YesNo)
               == PromptAnswer::Yes)
        motionForm_->Save();
    if (prompt_.Message(PromptIcon::Question, MainMessage(MsgConfirm), MainMessage(MsgFinish), PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return false;
    ReleasePort();
    return true;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!closeGuard_.MayClose(motionForm_ && motionForm_->TransferRunning(), prompt_) || !FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // The other windows only show this window's data: they go with it, and so does the program.
    for (QWidget *w : {static_cast<QWidget *>(motionForm_), static_cast<QWidget *>(graphForm_)})
        if (w)
            w->hide();
    emit Closed();
}
