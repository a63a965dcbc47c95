#include "transmitter/button_dialog.h"

#include "session/language.h"
#include "widgets/color_btn.h"

#include <QApplication>
#include <QPalette>
#include <QPushButton>

using namespace orvane;

namespace {

constexpr int kKeySize = 25;
constexpr int kPadDistance = 128;
constexpr int kLeftPadCentre = 52;
constexpr int kPadMiddle = 45;

const QColor kPressed(255, 0, 0);

QColor ReleasedColor() { return QApplication::palette().color(QPalette::Button); }

// Where each key sits around its pad's centre: up, down, right, left.
QPoint KeyOffset(int bit)
{
    switch (bit % 4) {
    case 0: return {0, -kKeySize};
    case 1: return {0, kKeySize};
    case 2: return {kKeySize, 0};
    default: return {-kKeySize, 0};
    }
}

}  // namespace

TButtonDialog::TButtonDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TButtonDialog"));
    setWindowTitle(kButtonMessages(BtnTitle));
    setFixedSize(233, 140);
    for (int bit = 0; bit < kKeyCount; ++bit) {
        auto *key = new TColorBtn(kButtonMessages(BtnKey1 + bit), this);
        key->setObjectName(QStringLiteral("COMMAND_%1").arg(bit + 1));
        key->setFocusPolicy(Qt::NoFocus);
        const QPoint centre(kLeftPadCentre + (bit < 4 ? 0 : kPadDistance), kPadMiddle);
        const QPoint at = centre + KeyOffset(bit) - QPoint(kKeySize / 2, kKeySize / 2);
        key->setGeometry(at.x(), at.y(), kKeySize, kKeySize);
        key->SetColor(ReleasedColor());
        connect(key, &QPushButton::clicked, this, [this, key] { ChangeKeyColor(key); });
        COMMAND[size_t(bit)] = key;
    }
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setGeometry(36, 102, 75, 25);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(122, 102, 75, 25);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool TButtonDialog::ShowsPressed(const TColorBtn *button) { return button->Color() == kPressed; }

void TButtonDialog::ChangeKeyColor(TColorBtn *sender)
{
    sender->SetColor(ShowsPressed(sender) ? ReleasedColor() : kPressed);
}

void TButtonDialog::SetPattern(std::uint8_t pattern)
{
    pattern_ = pattern;
    for (int bit = 0; bit < kKeyCount; ++bit)
        COMMAND[size_t(bit)]->SetColor((pattern & (1u << bit)) ? kPressed : ReleasedColor());
}

std::uint8_t TButtonDialog::GetPattern()
{
    unsigned pattern = 0;
    for (int bit = 0; bit < kKeyCount; ++bit)
        if (ShowsPressed(COMMAND[size_t(bit)]))
            pattern |= 1u << bit;
    pattern_ = std::uint8_t(pattern);
    return pattern_;
}

KeyNames TButtonDialog::KeyCaptions() const
{
    KeyNames names;
    for (int bit = 0; bit < kKeyCount; ++bit)
        names[size_t(bit)] = COMMAND[size_t(bit)]->text();
    return names;
}

QString TButtonDialog::PatternText(std::uint8_t pattern) const { return orvane::PatternText(pattern, KeyCaptions()); }
