#include "options/option_dialog.h"

#include "options/board_ids.h"
#include "options/option_messages.h"
#include "session/board_image.h"
#include "session/colors.h"
#include "session/prompt.h"
#include "textfile/file_io.h"
#include "widgets/color_btn.h"
#include "widgets/progress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

using orvane::kChannelCount;
using orvane::kChannelsPerBoard;
using orvane::OptionMessages;

namespace {

constexpr int kRowHeight = 24;
constexpr int kColumnWidth = 250;

int Tag(const QObject *object) { return object->property("tag").toInt(); }

QLabel *NamedLabel(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

// The bold title at the top of a group.
QLabel *GroupTitle(QWidget *group, const QString &name)
{
    QLabel *label = NamedLabel(group, name, QString(), QRect(8, 6, 300, 20));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QString IdList(const std::vector<std::uint8_t> &ids)
{
    QStringList out;
    for (std::uint8_t id : ids)
        out << QString::number(id);
    return out.join(QStringLiteral(", "));
}

// A long list of differences is cut: the box has to fit on the screen.
constexpr int kDifferencesShown = 10;

}  // namespace

class TOptionDialog::View : public orvane::TransferView {
public:
    explicit View(TOptionDialog &dialog) : dialog_(dialog) {}
    void SetBusy(bool busy) override { dialog_.setEnabled(!busy); }
    void SetProgress(int maximum, int value) override { ShowProgress(dialog_.IMAGE_PROGRESS, maximum, value); }
    void Refresh() override { dialog_.ShowAll(); }

private:
    TOptionDialog &dialog_;
};

TOptionDialog::TOptionDialog(MainOperations &main, QWidget *parent, const QDate &today)
    : QDialog(parent), main_(main), view_(std::make_unique<View>(*this)),
      transfer_(std::make_unique<orvane::BoardTransfer>(main, *view_, orvane::TransferOrder::BusyAfterSleep)),
      imageName_(QDir(main.StartFolder()).filePath(orvane::DatedFileName(today, QStringLiteral("BOARDS.json"))))
{
    setObjectName(QStringLiteral("OptionDialog"));
    setModal(true);
    BuildControls();
    FormCreate();
}

TOptionDialog::~TOptionDialog() = default;

bool TOptionDialog::TransferRunning() const { return transfer_->Running(); }

void TOptionDialog::reject()
{
    if (!TransferRunning())
        QDialog::reject();
}

void TOptionDialog::BuildControls()
{
    auto *idPanel = new QGroupBox(this);
    idPanel->setGeometry(8, 8, 2 * kColumnWidth + 24, 84);
    Label3 = GroupTitle(idPanel, QStringLiteral("Label3"));
    Label4 = NamedLabel(idPanel, QStringLiteral("Label4"), QStringLiteral("(CH1～CH12)"), QRect(16, 34, 110, 20));
    Label5 = NamedLabel(idPanel, QStringLiteral("Label5"), QStringLiteral("(CH13～CH24)"),
                        QRect(kColumnWidth + 16, 34, 110, 20));
    ID_BOX1 = new QComboBox(idPanel);
    ID_BOX1->setObjectName(QStringLiteral("ID_BOX1"));
    ID_BOX1->setProperty("tag", 0);
    ID_BOX1->setGeometry(130, 32, 80, 24);
    ID_BOX2 = new QComboBox(idPanel);
    ID_BOX2->setObjectName(QStringLiteral("ID_BOX2"));
    ID_BOX2->setProperty("tag", 1);
    ID_BOX2->setGeometry(kColumnWidth + 130, 32, 80, 24);
    ID_BOX2->addItem(QStringLiteral("OFF"));
    for (int id = 0; id < orvane::kIdCount; ++id) {
        ID_BOX1->addItem(QString::number(id));
        ID_BOX2->addItem(QString::number(id));
    }
    connect(ID_BOX1, &QComboBox::activated, this, [this] { ID_BOX1CloseUp(ID_BOX1); });
    connect(ID_BOX2, &QComboBox::activated, this, [this] { ID_BOX1CloseUp(ID_BOX2); });

    auto *trimPanel = new QGroupBox(this);
    const int rowsTop = 52;
    trimPanel->setGeometry(8, 100, 2 * kColumnWidth + 24, rowsTop + 12 * kRowHeight + 44);
    Label2 = GroupTitle(trimPanel, QStringLiteral("Label2"));
    Label7 = NamedLabel(trimPanel, QStringLiteral("Label7"), QString(), QRect(8, 26, 2 * kColumnWidth, 20));
    for (int n = 1; n <= kChannelCount; ++n) {
        const int left = 12 + ((n - 1) / 12) * kColumnWidth;
        const int top = rowsTop + ((n - 1) % 12) * kRowHeight;
        auto *label = NamedLabel(trimPanel, QStringLiteral("CH%1_TRIM_LAB").arg(n), QStringLiteral("CH%1").arg(n),
                                 QRect(left, top + 1, 110, kRowHeight - 2));
        label->setAutoFillBackground(true);
        label->setIndent(4);
        auto *down = new TColorBtn(QStringLiteral("<"), trimPanel);
        down->setObjectName(QStringLiteral("CH%1_TRIM_L").arg(n));
        down->setGeometry(left + 114, top + 1, 28, kRowHeight - 2);
        auto *caption = new QLineEdit(QStringLiteral("0"), trimPanel);
        caption->setObjectName(QStringLiteral("CH%1_TRIM_CAP").arg(n));
        caption->setReadOnly(true);
        caption->setAlignment(Qt::AlignRight);
        caption->setGeometry(left + 144, top + 1, 44, kRowHeight - 2);
        auto *up = new TColorBtn(QStringLiteral(">"), trimPanel);
        up->setObjectName(QStringLiteral("CH%1_TRIM_R").arg(n));
        up->setGeometry(left + 190, top + 1, 28, kRowHeight - 2);
        connect(down, &QPushButton::clicked, this, [this, down] { TRIM_Click(down); });
        connect(up, &QPushButton::clicked, this, [this, up] { TRIM_Click(up); });
    }

    const int buttonsTop = rowsTop + 12 * kRowHeight + 10;
    OPTION_READ_BTN = new QPushButton(trimPanel);
    OPTION_READ_BTN->setObjectName(QStringLiteral("OPTION_READ_BTN"));
    OPTION_READ_BTN->setGeometry(12, buttonsTop, 100, 26);
    TRIM_RESET_BTN = new QPushButton(trimPanel);
    TRIM_RESET_BTN->setObjectName(QStringLiteral("TRIM_RESET_BTN"));
    TRIM_RESET_BTN->setGeometry(120, buttonsTop, 100, 26);
    connect(OPTION_READ_BTN, &QPushButton::clicked, this, &TOptionDialog::OPTION_READ_BTNClick);
    connect(TRIM_RESET_BTN, &QPushButton::clicked, this, &TOptionDialog::TRIM_RESET_BTNClick);

    const int imageBottom = BuildImageControls(trimPanel->geometry().bottom() + 9);

    CancelButton = new QPushButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(2 * kColumnWidth + 32 - 200, imageBottom + 10, 200, 28);
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(1); });
    setFixedSize(2 * kColumnWidth + 40, CancelButton->geometry().bottom() + 10);
}

int TOptionDialog::BuildImageControls(int top)
{
    auto *panel = new QGroupBox(this);
    panel->setGeometry(8, top, 2 * kColumnWidth + 24, 96);
    IMAGE_LAB = GroupTitle(panel, QStringLiteral("IMAGE_LAB"));
    IMAGE_BACKUP_BTN = new QPushButton(panel);
    IMAGE_BACKUP_BTN->setObjectName(QStringLiteral("IMAGE_BACKUP_BTN"));
    IMAGE_BACKUP_BTN->setGeometry(12, 30, 120, 26);
    IMAGE_RESTORE_BTN = new QPushButton(panel);
    IMAGE_RESTORE_BTN->setObjectName(QStringLiteral("IMAGE_RESTORE_BTN"));
    IMAGE_RESTORE_BTN->setGeometry(140, 30, 120, 26);
    IMAGE_HOME_CHK = new QCheckBox(panel);
    IMAGE_HOME_CHK->setObjectName(QStringLiteral("IMAGE_HOME_CHK"));
    IMAGE_HOME_CHK->setGeometry(272, 30, 2 * kColumnWidth - 260, 26);
    IMAGE_PROGRESS = new QProgressBar(panel);
    IMAGE_PROGRESS->setObjectName(QStringLiteral("IMAGE_PROGRESS"));
    IMAGE_PROGRESS->setGeometry(12, 64, 2 * kColumnWidth, 20);
    IMAGE_PROGRESS->setRange(0, 100);
    IMAGE_PROGRESS->setValue(0);
    connect(IMAGE_BACKUP_BTN, &QPushButton::clicked, this, &TOptionDialog::IMAGE_BACKUP_BTNClick);
    connect(IMAGE_RESTORE_BTN, &QPushButton::clicked, this, &TOptionDialog::IMAGE_RESTORE_BTNClick);
    return panel->geometry().bottom();
}

void TOptionDialog::FormCreate()
{
    setWindowTitle(OptionMessages(orvane::OptTitle));
    Label3->setText(OptionMessages(orvane::OptIdTitle));
    Label2->setText(OptionMessages(orvane::OptTrimTitle));
    Label7->setText(OptionMessages(orvane::OptTrimNote));
    OPTION_READ_BTN->setText(OptionMessages(orvane::OptRead));
    TRIM_RESET_BTN->setText(OptionMessages(orvane::OptReset));
    CancelButton->setText(OptionMessages(orvane::OptExit));
    IMAGE_LAB->setText(OptionMessages(orvane::OptImageTitle));
    IMAGE_BACKUP_BTN->setText(OptionMessages(orvane::OptImageBackup));
    IMAGE_RESTORE_BTN->setText(OptionMessages(orvane::OptImageRestore));
    IMAGE_HOME_CHK->setText(OptionMessages(orvane::OptImageHome));

    for (int n = 1; n <= kChannelCount; ++n) {
        CH_TRIM_L[n] = findChild<TColorBtn *>(QStringLiteral("CH%1_TRIM_L").arg(n));
        CH_TRIM_R[n] = findChild<TColorBtn *>(QStringLiteral("CH%1_TRIM_R").arg(n));
        CH_TRIM_CAP[n] = findChild<QLineEdit *>(QStringLiteral("CH%1_TRIM_CAP").arg(n));
        CH_TRIM_LAB[n] = findChild<QLabel *>(QStringLiteral("CH%1_TRIM_LAB").arg(n));
        CH_TRIM_L[n]->setProperty("tag", n);
        CH_TRIM_R[n]->setProperty("tag", n + kChannelCount);
        CH_TRIM_CAP[n]->setProperty("tag", n);
        CH_TRIM_LAB[n]->setProperty("tag", n);
    }
    trims_ = orvane::TrimTable();
    ShowAll();

    const std::array<int, 2> start = orvane::StartIds({main_.BoardId(0), main_.BoardId(1)});
    for (int group = 0; group < 2; ++group)
        if (main_.BoardId(group) != start[group])
            main_.SetBoardId(group, start[group]);
    ID_BOX1->setCurrentIndex(orvane::IdListEntry(0, start[0]));
    ID_BOX2->setCurrentIndex(orvane::IdListEntry(1, start[1]));
}

std::array<int, 2> TOptionDialog::Ids() const { return {main_.BoardId(0), main_.BoardId(1)}; }

void TOptionDialog::ID_BOX1CloseUp(QComboBox *sender)
{
    const std::array<int, 2> before = Ids();
    const int group = Tag(sender);
    main_.SetBoardId(group, orvane::IdOfListEntry(group, sender->currentIndex()));
    if (main_.BoardId(0) != main_.BoardId(1))
        return;
    // One board answering for both groups would take the other's commands: put the old choice back.
    for (int g = 0; g < 2; ++g)
        main_.SetBoardId(g, before[g]);
    ID_BOX1->setCurrentIndex(orvane::IdListEntry(0, before[0]));
    ID_BOX2->setCurrentIndex(orvane::IdListEntry(1, before[1]));
}

void TOptionDialog::OPTION_READ_BTNClick()
{
    if (busy_)
        return;
    busy_ = true;
    trims_.ReadAll(Ids());
    ShowAll();
    busy_ = false;
}

void TOptionDialog::TRIM_Click(TColorBtn *sender)
{
    if (busy_)
        return;
    busy_ = true;
    sender->setEnabled(false);
    const int failures = trims_.ReadAll(Ids());
    ShowAll();
    const int tag = Tag(sender);
    const bool up = tag > kChannelCount;
    const int channel = up ? tag - kChannelCount : tag;
    trims_.Step(Ids(), channel, up, failures);
    ShowTrim(channel);
    sender->setEnabled(true);
    busy_ = false;
}

void TOptionDialog::TRIM_RESET_BTNClick()
{
    if (busy_)
        return;
    if (main_.UserPrompt().Message(PromptIcon::Question, OptionMessages(orvane::OptWarning),
                                   OptionMessages(orvane::OptResetQuestion), PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return;
    busy_ = true;
    trims_.Reset(Ids());
    ShowAll();
    busy_ = false;
}

void TOptionDialog::ShowTrim(int channel) { CH_TRIM_CAP[channel]->setText(QString::number(trims_.Shown(channel))); }

void TOptionDialog::ShowAll()
{
    for (int n = 1; n <= kChannelCount; ++n)
        ShowTrim(n);
}

void TOptionDialog::ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor)
{
    if (channel < 1 || channel > kChannelCount)
        return;
    QLabel *label = CH_TRIM_LAB[channel];
    label->setText(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window,
                     orvane::ToQColor(orvane::ResolveColor(panelColor, orvane::PaletteSystemColors())));
    palette.setColor(QPalette::WindowText,
                     orvane::ToQColor(orvane::ResolveColor(textColor, orvane::PaletteSystemColors())));
    label->setPalette(palette);
}

std::vector<std::uint8_t> TOptionDialog::PresentIds() const
{
    std::vector<std::uint8_t> ids;
    for (int group = 0; group < 2; ++group)
        if (main_.BoardPresent(group))
            ids.push_back(std::uint8_t(main_.BoardId(group)));
    return ids;
}

int TOptionDialog::GroupOf(std::uint8_t id) const
{
    for (int group = 0; group < 2; ++group)
        if (main_.BoardPresent(group) && main_.BoardId(group) == id)
            return group;
    return -1;
}

void TOptionDialog::IMAGE_BACKUP_BTNClick()
{
    using namespace orvane;
    if (busy_ || transfer_->Running())
        return;
    const std::vector<std::uint8_t> ids = PresentIds();
    Prompt &prompt = main_.UserPrompt();
    QString path = prompt.SaveFile(OptionMessages(OptImageSaveTitle), OptionMessages(OptImageFilter), imageName_);
    if (path.isEmpty() || ids.empty())
        return;
    path = WithDefaultExtension(path, QStringLiteral(".json"));
    imageName_ = path;

    busy_ = true;
    BoardTransfer::Run run = transfer_->Begin();
    TransferBox failure{PromptIcon::Error, OptionMessages(OptWarning), OptionMessages(OptImageNoAnswer),
                        PromptButtons::Ok};
    if (run.EnsureSleep()) {
        run.Busy();
        QString error;
        const std::optional<BoardImage> image = BackupBoards(
            ids, [&](int done, int total) { run.Progress(total, done); }, &error);
        if (!image) {
            run.Fail(1);
            failure.text = OptionMessages(OptImageBackupFailed) + QStringLiteral("\r\n") + error;
        } else {
            for (size_t b = 0; b < image->boards.size(); ++b)
                trims_.Take(GroupOf(image->boards[b].id), image->boards[b].trims);
            ShowAll();
            if (WriteFileAtomically(path, BoardImageToJson(*image), &error))
                run.Close({PromptIcon::Information, OptionMessages(OptImageTitle), OptionMessages(OptImageSaved),
                           PromptButtons::OkCancel});
            else
                run.Tell({PromptIcon::Error, OptionMessages(OptWarning),
                          OptionMessages(OptImageSaveFailed) + QStringLiteral("\r\n") + error, PromptButtons::Ok});
        }
    }
    run.Finish(failure);
    busy_ = false;
}

void TOptionDialog::IMAGE_RESTORE_BTNClick()
{
    using namespace orvane;
    if (busy_ || transfer_->Running())
        return;
    Prompt &prompt = main_.UserPrompt();
    const QString path = prompt.OpenFile(OptionMessages(OptImageOpenTitle), OptionMessages(OptImageFilter), imageName_);
    if (path.isEmpty())
        return;
    imageName_ = path;
    const auto warn = [&](const QString &text) {
        prompt.Message(PromptIcon::Warning, OptionMessages(OptWarning), text, PromptButtons::Ok);
    };
    QByteArray bytes;
    bool missing = false;
    QString error;
    if (!ReadFileBytes(path, &bytes, &missing, &error))
        return warn(OptionMessages(OptImageUnreadable) + QStringLiteral("\r\n") + error);
    const std::optional<BoardImage> image = BoardImageFromJson(bytes, &error);
    if (!image)
        return warn(OptionMessages(OptImageRefused) + QStringLiteral("\r\n") + error);

    // Each board of the image goes to the group that has its ID, the CH1-CH12 board first.
    BoardImage chosen;
    std::vector<int> groups;
    std::vector<std::uint8_t> inImage, chosenIds, leftOut;
    for (const ImageBoard &board : image->boards) {
        inImage.push_back(board.id);
        if (GroupOf(board.id) < 0)
            leftOut.push_back(board.id);
    }
    for (int group = 0; group < 2; ++group) {
        for (const ImageBoard &board : image->boards) {
            if (GroupOf(board.id) == group) {
                chosen.boards.push_back(board);
                groups.push_back(group);
                chosenIds.push_back(board.id);
            }
        }
    }
    if (chosen.boards.empty())
        return warn(OptionMessages(OptImageNoBoard).arg(IdList(PresentIds()), IdList(inImage)));
    QString question = OptionMessages(OptImageRestoreQuestion).arg(IdList(chosenIds));
    if (!leftOut.empty())
        question += QStringLiteral("\r\n") + OptionMessages(OptImageLeftOut).arg(IdList(leftOut));
    const bool withHome = IMAGE_HOME_CHK->isChecked();

    busy_ = true;
    BoardTransfer::Run run = transfer_->Begin();
    TransferBox failure{PromptIcon::Error, OptionMessages(OptWarning), OptionMessages(OptImageNoAnswer),
                        PromptButtons::Ok};
    const bool agreed =
        run.Ask({PromptIcon::Question, OptionMessages(OptImageTitle), question, PromptButtons::OkCancel})
        && (!withHome
            || run.Ask({PromptIcon::Warning, OptionMessages(OptWarning), OptionMessages(OptImageHomeWarning),
                        PromptButtons::YesNo}));
    if (agreed && run.EnsureSleep()) {
        run.Busy();
        const RestoreOutcome outcome =
            RestoreBoards(chosen, withHome, [&](int done, int total) { run.Progress(total, done); });
        if (outcome.completed) {
            // What the boards now hold, as far as this program keeps a copy of it.
            for (size_t b = 0; b < chosen.boards.size(); ++b) {
                trims_.Take(groups[b], chosen.boards[b].trims);
                for (int k = 0; withHome && k < kChannelsPerBoard; ++k)
                    main_.SetHomeValue(groups[b] * kChannelsPerBoard + k + 1, chosen.boards[b].home[size_t(k)]);
            }
            ShowAll();
            if (withHome)
                main_.ShowBoardMode(0);  // the home pose woke the boards
        }
        if (!outcome.completed) {
            run.Fail(1);
            failure.text = OptionMessages(OptImageRestoreFailed) + QStringLiteral("\r\n") + outcome.error;
        } else if (!outcome.differences.isEmpty()) {
            QStringList shown = outcome.differences.mid(0, kDifferencesShown);
            if (outcome.differences.size() > kDifferencesShown)
                shown << QStringLiteral("...");
            run.Tell({PromptIcon::Warning, OptionMessages(OptWarning),
                      OptionMessages(OptImageDifferences).arg(outcome.differences.size()) + QStringLiteral("\r\n")
                          + shown.join(QStringLiteral("\r\n")),
                      PromptButtons::Ok});
        } else if (withHome) {
            run.Tell({PromptIcon::Information, OptionMessages(OptImageTitle), OptionMessages(OptImageRestoredHome),
                      PromptButtons::Ok});
        } else {
            run.Close({PromptIcon::Information, OptionMessages(OptImageTitle), OptionMessages(OptImageRestored),
                       PromptButtons::OkCancel});
        }
    }
    run.Finish(failure);
    busy_ = false;
}
