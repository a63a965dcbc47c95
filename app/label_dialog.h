#pragma once
// TLabelDialog: the label dialog. Name, panel colour, name colour and visibility of every channel, and HOLD.
// It edits a copy; the main window takes the values over only when the dialog closes with OK.

#include "app/window_messages.h"
#include "protocol/board_facts.h"

#include <QDialog>

#include <array>
#include <cstdint>

class MainOperations;
class Prompt;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class TLabelDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxNameLength = 255;

    explicit TLabelDialog(QWidget *parent = nullptr);

    // Collects the row controls by name and tags them with their channel.
    void FormCreate();
    // Double-click on a row panel or row label: the colour dialog, preset to the row's colour.
    void SOUR_1DblClick(QObject *sender);

    // The colour dialog goes through this prompt; RunLabelDialog sets the main window's.
    void SetPrompt(Prompt *prompt) { prompt_ = prompt; }

    // Colours as the main window stores them: 0x00BBGGRR, or a system colour number.
    uint32_t RowColor(int channel) const { return rowColor_[channel]; }
    void SetRowColor(int channel, uint32_t color);
    uint32_t LabelColor(int channel) const { return labelColor_[channel]; }
    void SetLabelColor(int channel, uint32_t color);

    void LoadFrom(const MainOperations &main);
    void ApplyTo(MainOperations &main) const;

    // Indexed by channel 1-24; entry 0 is unused.
    std::array<QFrame *, orvane::kChannelCount + 1> SOUR{};
    std::array<QLabel *, orvane::kChannelCount + 1> LAB_CH{};
    std::array<QCheckBox *, orvane::kChannelCount + 1> VIS_CH{};
    std::array<QLineEdit *, orvane::kChannelCount + 1> EDIT_CH{};
    QFrame *Segment = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QCheckBox *HoldCheck = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildRow(int channel, int left, int top);

    Prompt *prompt_ = nullptr;
    std::array<uint32_t, orvane::kChannelCount + 1> rowColor_{};
    std::array<uint32_t, orvane::kChannelCount + 1> labelColor_{};
};

// Fills the dialog from the main window, shows it modally, and on OK applies every channel and HOLD.
void RunLabelDialog(TLabelDialog &dialog, MainOperations &main);
