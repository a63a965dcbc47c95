#pragma once
// TMainForm: the main window. It owns the current position data, the home position, the board IDs, the
// desktops and the channel looks, and offers the other windows the MainOperations. Its parts: main_form.cpp
// (controls, settings, port, the windows it opens), main_form_channels.cpp (channel panels and live control),
// main_form_desktops.cpp (desktops and panel dragging), main_form_closing.cpp (the closing sequence).

#include "app/panel_layout.h"
#include "app/settings.h"
#include "app/window_registry.h"
#include "protocol/board_facts.h"
#include "protocol/transaction.h"
#include "session/board_operations.h"
#include "session/main_operations.h"
#include "session/port_watch.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class Prompt;
class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QCheckBox;
class QRadioButton;
class QScrollBar;
class QStatusBar;
class QToolButton;
class QPushButton;

class TMainForm : public QWidget, public MainOperations {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 508;
    static constexpr int kClientHeight = 498;

    // folder: where ORV.ini lives (the program's own folder); prompt answers every box the window shows.
    TMainForm(const QString &programFolder, Prompt &prompt, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The windows created after this one join here; their buttons stay disabled until they do.
    WindowRegistry &Windows() { return windows_; }
    // Where the file dialogs' dated start names point when that is not the program folder.
    void SetStartFolder(const QString &folder) { startFolder_ = folder; }
    // ORV.ini as read at start: the windows created later take their placement from it.
    const orvane::MainSettings &Settings() const { return settings_; }

signals:
    // The window accepted a close request: the program ends with it.
    void Closed();

public:
    // The kinds of scroll event a slider reports.
    enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Position, Track, Top, Bottom, EndScroll };

    // Event handlers, named after their controls; public so that whatever drives the window can reach them.
    void ApplyLanguage();
    void LoadSettings();
    void SaveSettings();
    void CommPortCloseUp();
    void CH1_BARScroll(QScrollBar *sender, ScrollCode code, int &pos);
    void ChangePortCondition(QComboBox *sender);
    void SYNC_BTNClick(QAbstractButton *sender);
    void SpeedChange(QAbstractButton *sender);
    void RITV_ONClick();
    void SETPOS_BTNClick();
    void GETPOS_BTNClick();
    void NOW_BTNClick();
    void DIRECTION_BTNClick(QAbstractButton *sender);
    void EDITITEM_BTNClick(QAbstractButton *sender);
    void HOME_BTNClick();
    void NAME_CHANGEDblClick();
    void VIEW_BTNClick(QAbstractButton *sender);
    void DesktopCloseUp();
    void DesktopContextPopup();
    // panel 0 is the Segment bar; pos in the panel's own coordinates.
    void PANELMouseDown(int panel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void PANELMouseMove(int panel, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void EXIT_BTNClick();
    // The close request: settings first, then the exit question. True lets the window close.
    bool FormClose();

    // MainOperations
    void SetChannel(int channel, int value, orvane::ChannelSource source) override;
    void SetValueCode(int channel, int value) override;
    void ShowChannelValue(int channel) override;
    bool SendBoardPositions(int group, int speed) override;
    bool ReadBoardPositions() override;
    void ShowLinkStatus(orvane::FailureMask failures) override;
    void ShowBoardMode(int modeByte) override;
    bool EnterSleep() override;
    bool ReleaseSleep() override;
    bool EnsureSleep() override;
    void ReturnToHome() override;
    void AddCurrentPosition() override;
    void AddPositions(const QList<QStringList> &rows) override;
    void OverwriteSelectedPositions() override;
    int BoardId(int group) const override;
    void SetBoardId(int group, int id) override;
    bool SyncMode() const override;
    int Speed() const override { return speed_; }
    void SetSpeed(int speed) override;
    int ValueCode(int channel) const override;
    QString ValueText(int channel) const override;
    int HomeValue(int channel) const override;
    void SetHomeValue(int channel, int value) override;
    QString ProgramFolder() const override { return folder_; }
    QString StartFolder() const override { return startFolder_.isEmpty() ? folder_ : startFolder_; }
    Prompt &UserPrompt() override { return prompt_; }
    QString ChannelName(int channel) const override;
    uint32_t PanelColor(int channel) const override;
    uint32_t NameColor(int channel) const override;
    bool PanelVisible(int channel) const override;
    bool Hold() const override { return hold_; }
    void SetChannelLook(int channel, const QString &name, uint32_t panelColor, uint32_t nameColor,
                        bool visible) override;
    void SetHold(bool on) override { hold_ = on; }
    void AddChannelLookListener(ChannelLookListener *listener) override;

    // State that tests and the windows created later read.
    int SelectedDesktop() const;
    const orvane::DesktopLayout &DesktopLayoutOf(int desktop) const { return layouts_.at(desktop - 1); }
    QString StatusField(int field) const;
    // Closes a port whose device went away and opens it again once it is back.
    PortWatch &PortKeeper() { return portWatch_; }
    bool DragGuard() const { return dragGuard_; }
    bool StepGuard() const { return stepGuard_; }

    // Controls, by their names. Per-channel tables are indexed by channel 1-24; PANEL[0] is the Segment bar.
    QToolButton *MOTION_FILE_BTN, *HOME_BTN, *OPTION_BTN, *OptionMenu3, *SpeedButton1, *INFO_BTN, *EXIT_BTN,
        *MONITOR_BTN;
    QComboBox *CommPort, *Desktop;
    QLineEdit *DATA_NAME;
    QRadioButton *SYNC_MODE, *RadioButton2;
    std::array<QRadioButton *, 8> SPD_BTN{};
    std::array<QFrame *, orvane::kChannelCount + 1> PANEL{};
    std::array<QLabel *, orvane::kChannelCount + 1> CH_LAB{};
    std::array<QCheckBox *, orvane::kChannelCount + 1> CH_SYNC{};
    std::array<QLineEdit *, orvane::kChannelCount + 1> CH_CAPTION{};
    std::array<QScrollBar *, orvane::kChannelCount + 1> CH_BAR{};
    std::array<QComboBox *, orvane::kChannelCount + 1> CH_MODE{};
    QFrame *Segment;
    QWidget *ChannelArea;
    std::array<QPushButton *, 4> TRACK_BTN{};
    QRadioButton *RITV_ON, *RITV_OFF;
    QToolButton *SHOT_BTN, *SETPOS_BTN, *GETPOS_BTN, *NOW_BTN, *SLEEP_BTN, *DEFAULT_BTN, *GRID_BTN, *GRAPH_BTN,
        *ADDITEM_BTN, *SpeedButton3;
    QStatusBar *MONTER;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    QWidget *BuildPanel(int channel);
    void ConnectSlider(QScrollBar *bar);
    void PlaceWindow(int top, int left);
    void MovePanels(int desktop);
    void ApplyPanelColor(int channel);
    void NotifyLook(int channel);
    void TellLook(ChannelLookListener *listener, int channel) const;
    QStringList ValueTexts() const;
    void TrackOrStep(QScrollBar *bar, int channel, int pos);
    // Releases and wheel notches of a channel slider; true when the event is used up.
    bool SliderEvent(QScrollBar *bar, QEvent *event);
    static int Tag(const QObject *object);

    QString folder_;
    QString startFolder_;
    Prompt &prompt_;
    orvane::MainSettings settings_;  // as read; keeps the keys of windows not created yet
    int speed_ = 7;
    std::array<int, orvane::kChannelCount + 1> valueCode_{};
    std::array<QString, orvane::kChannelCount + 1> valueText_{};
    std::array<int, orvane::kChannelCount + 1> home_{};
    std::array<uint32_t, orvane::kChannelCount + 1> panelColor_{};
    std::array<uint32_t, orvane::kChannelCount + 1> nameColor_{};
    orvane::BoardOperations boards_{MainRetryCount};
    std::array<orvane::DesktopLayout, orvane::kDesktopCount> layouts_{};
    bool hold_ = true;
    bool dragGuard_ = false;
    bool stepGuard_ = false;
    QPoint grab_;
    std::array<QLabel *, 4> fields_{};
    std::vector<ChannelLookListener *> listeners_;
    WindowRegistry windows_{*this};
    PortWatch portWatch_;
};
