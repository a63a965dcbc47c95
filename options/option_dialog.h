#pragma once
// TOptionDialog: the options window. The two board IDs and the trims of the 24 channels.

#include "options/trim_table.h"
#include "protocol/board_facts.h"
#include "session/board_transfer.h"
#include "session/main_operations.h"

#include <QDate>
#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QProgressBar;
class QLabel;
class QLineEdit;
class QPushButton;
class TColorBtn;

class TOptionDialog : public QDialog, public ChannelLookListener {
    Q_OBJECT
public:
    explicit TOptionDialog(MainOperations &main, QWidget *parent = nullptr, const QDate &today = QDate::currentDate());

    // Event handlers, named after their controls.
    void FormCreate();
    void ID_BOX1CloseUp(QComboBox *sender);
    void OPTION_READ_BTNClick();
    void TRIM_Click(TColorBtn *sender);
    void TRIM_RESET_BTNClick();
    // The boards' whole memory to a board image file, and back.
    void IMAGE_BACKUP_BTNClick();
    void IMAGE_RESTORE_BTNClick();

    // ChannelLookListener: the name label takes the channel's name.
    void ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor) override;

    const orvane::TrimTable &Trims() const { return trims_; }
    bool TransferRunning() const;
    ~TOptionDialog() override;

    QComboBox *ID_BOX1, *ID_BOX2;
    QPushButton *OPTION_READ_BTN, *TRIM_RESET_BTN, *CancelButton;
    QPushButton *IMAGE_BACKUP_BTN, *IMAGE_RESTORE_BTN;
    QCheckBox *IMAGE_HOME_CHK;
    QProgressBar *IMAGE_PROGRESS;
    QLabel *Label2, *Label3, *Label4, *Label5, *Label7, *IMAGE_LAB;
    std::array<TColorBtn *, orvane::kChannelCount + 1> CH_TRIM_L{}, CH_TRIM_R{};
    std::array<QLineEdit *, orvane::kChannelCount + 1> CH_TRIM_CAP{};
    std::array<QLabel *, orvane::kChannelCount + 1> CH_TRIM_LAB{};

protected:
    // Not while the boards are being written: the run lives in event loops below.
    void reject() override;

private:
    class View;
    void BuildControls();
    // Returns the bottom of the group it builds.
    int BuildImageControls(int top);
    // The IDs of the boards present, the CH1-CH12 board first.
    std::vector<std::uint8_t> PresentIds() const;
    // The group whose board has this ID, or -1.
    int GroupOf(std::uint8_t id) const;
    std::array<int, 2> Ids() const;
    void ShowTrim(int channel);
    void ShowAll();

    MainOperations &main_;
    orvane::TrimTable trims_;
    // A click that arrives while a sequence waits on the line would start a second one over it.
    bool busy_ = false;
    std::unique_ptr<View> view_;
    std::unique_ptr<orvane::BoardTransfer> transfer_;
    QString imageName_;  // where the next file dialog starts
};
