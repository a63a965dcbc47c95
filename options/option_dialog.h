#pragma once
// TOptionDialog: the two board IDs and the trims of the 24 channels.

#include "options/trim_table.h"
#include "session/main_operations.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TColorBtn;

class TOptionDialog : public QDialog, public ChannelLookListener {
    Q_OBJECT
public:
    static constexpr int Channels = 24;

    explicit TOptionDialog(MainOperations &main, QWidget *parent = nullptr);

    // Event handlers, named after their controls.
    void FormCreate();
    void ID_BOX1CloseUp(QComboBox *sender);
    void OPTION_READ_BTNClick();
    void TRIM_Click(TColorBtn *sender);
    void TRIM_RESET_BTNClick();

    // ChannelLookListener: the name label takes the channel's name.
    void ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor) override;

    const orvane::TrimTable &Trims() const { return trims_; }

    QComboBox *ID_BOX1, *ID_BOX2;
    QPushButton *OPTION_READ_BTN, *TRIM_RESET_BTN, *CancelButton;
    QLabel *Label2, *Label3, *Label4, *Label5, *Label7;
    std::array<TColorBtn *, Channels + 1> CH_TRIM_L{}, CH_TRIM_R{};
    std::array<QLineEdit *, Channels + 1> CH_TRIM_CAP{};
    std::array<QLabel *, Channels + 1> CH_TRIM_LAB{};

private:
    void BuildControls();
    std::array<int, 2> Ids() const;
    void ShowTrim(int channel);
    void ShowAll();

    MainOperations &main_;
    orvane::TrimTable trims_;
    // A click that arrives while a sequence waits on the line would start a second one over it.
    bool busy_ = false;
};
