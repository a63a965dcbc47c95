#pragma once
// TTeaching: pose the robot by hand. FREE channels are moved by hand, then captured: the boards are asked
// where those servos are and the positions become the channels' values, held by the servos.

#include "session/main_operations.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

class TTeaching : public QDialog, public ChannelLookListener {
    Q_OBJECT
public:
    static constexpr int kChannels = 24;
    static constexpr int kSettleMs = 300;  // boards need this in teaching mode before positions are read

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

    // ChannelLookListener: THC_n takes the name and text colour, PANEL_n the panel colour.
    void ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor) override;

    bool Ready() const { return ready_; }
    bool Captured() const { return captured_; }

    std::array<QFrame *, kChannels + 1> PANEL{};
    std::array<QLabel *, kChannels + 1> THC{};
    std::array<QLineEdit *, kChannels + 1> ANG{};
    std::array<QCheckBox *, kChannels + 1> FREE_CHK{};
    QToolButton *SHOT_BTN, *NOW_BTN, *ADDITEM_BTN;
    QComboBox *SPD_LIST;

private:
    void BuildControls();
    void Prepare();
    void Refresh();
    int SetModeBoth(uint8_t mode);  // failure mask; a group without a board counts as done
    int SendBoth();                 // failure mask
    static void Settle();

    MainOperations &main_;
    bool ready_ = false;
    bool captured_ = false;
    bool busy_ = false;
    std::array<int, kChannels + 1> saved_{};
};
