#pragma once
// TButtonDialog: the key pattern dialog. Eight key buttons in two pads; a key is in the pattern while its
// button shows red. Created once at start; the assignment window shows it modally.

#include "transmitter/key_pattern.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QPushButton;
class TColorBtn;

class TButtonDialog : public QDialog {
    Q_OBJECT
public:
    explicit TButtonDialog(QWidget *parent = nullptr);

    // Colours each key button after the pattern's bits.
    void SetPattern(std::uint8_t pattern);
    // The pattern the buttons show; also kept as the dialog's pattern.
    std::uint8_t GetPattern();
    std::uint8_t Pattern() const { return pattern_; }
    // The key captions (the dialog's language) of the pattern, "None" for no key.
    QString PatternText(std::uint8_t pattern) const;
    orvane::KeyNames KeyCaptions() const;

    // Shared by all eight key buttons.
    void ChangeKeyColor(TColorBtn *sender);
    static bool ShowsPressed(const TColorBtn *button);

    std::array<TColorBtn *, orvane::kKeyCount> COMMAND{};  // COMMAND_1 to COMMAND_8
    QPushButton *OkButton;
    QPushButton *CancelButton;

private:
    std::uint8_t pattern_ = 0;
};
