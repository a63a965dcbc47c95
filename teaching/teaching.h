#pragma once
// TTeaching, the teaching window: pose the robot by hand. FREE channels are moved by hand, then captured: the
// boards are asked where those servos are and the positions become the channels' values, held by the
// servos. With hands on the robot, a pose held still can be taken on its own, and a whole movement recorded
// and added as the few rows it needs. The sequences live in TeachingSession; this window shows its state.

#include "protocol/board_facts.h"
#include "session/main_operations.h"
#include "teaching/hand_settings.h"
#include "teaching/teaching_session.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

class TTeaching : public QDialog, public ChannelLookListener {
    Q_OBJECT
public:
    static constexpr int kSettleMs = orvane::TeachingSession::kSettleMs;

    explicit TTeaching(MainOperations &main, QWidget *parent = nullptr);

    // The main window's teaching button: read, prepare, send, wake the servos, then show this window
    // modally with mainWindow hidden; mainWindow is shown again however the window ends.
    void RunFromMain(QWidget *mainWindow);

    // Event handlers, named after their controls.
    void FormCreate();
    void FREE_CHKClick(QCheckBox *sender);
    void SHOT_BTNClick();
    void NOW_BTNClick();
    void ADDITEM_BTNClick();
    void SPD_LISTCloseUp();
    void AUTO_CHKClick();
    void STILL_Change();
    void REC_BTNClick();
    void REC_SAVE_BTNClick();
    void REC_LOAD_BTNClick();

    // ChannelLookListener: THC_n takes the name and text colour, PANEL_n the panel colour.
    void ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor) override;

    // The stillness and recording boxes, as ORV.ini keeps them.
    orvane::HandTeachingSettings HandSettings() const;
    void SetHandSettings(const orvane::HandTeachingSettings &settings);

    bool Ready() const { return session_.Ready(); }
    bool Captured() const { return session_.Captured(); }
    orvane::TeachingSession &Session() { return session_; }

    std::array<QFrame *, orvane::kChannelCount + 1> PANEL{};
    std::array<QLabel *, orvane::kChannelCount + 1> THC{};
    std::array<QLineEdit *, orvane::kChannelCount + 1> ANG{};
    std::array<QCheckBox *, orvane::kChannelCount + 1> FREE_CHK{};
    QToolButton *SHOT_BTN, *NOW_BTN, *ADDITEM_BTN;
    QComboBox *SPD_LIST;
    QCheckBox *AUTO_CHK;
    QDoubleSpinBox *STILL_TIME;
    QSpinBox *STILL_DEG;
    QLabel *AUTO_COUNT;
    QToolButton *REC_BTN, *REC_SAVE_BTN, *REC_LOAD_BTN;
    QSpinBox *REC_TOL;
    QLabel *REC_COUNT;
    QLabel *STATUS_LINE;

public slots:
    void done(int result) override;

protected:
    // F2 captures and adds, F3 releases; a focused check box passes them on untouched.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildControls();
    void BuildHandControls(int top);
    void ApplyLooks();
    void ShowChannel(int n);
    void ShowChannels();
    void ShowSampling();

    MainOperations &main_;
    orvane::TeachingSession session_;
    QString saveName_;
    QString openName_;
};
