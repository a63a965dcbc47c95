#include "motion/motion_form.h"

#include "widgets/list_keys.h"

#include "widgets/icons.h"

#include "motion/motion_data.h"
#include "motion/motion_file.h"
#include "motion/motion_messages.h"
#include "motion/motion_transfer.h"
#include "session/window_place.h"
#include "widgets/progress.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

using namespace orvane;

namespace {

constexpr int kNoWidth = 30;
constexpr int kNameWidth = 150;
constexpr int kSpeedWidth = 50;
constexpr int kChannelWidth = 40;
constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = 360;

const char *const kSpeedCaptions[8] = {"0  (FAST)", "1", "2", "3", "4", "5", "6", "7  (SLOW)"};

QString Text(int entry) { return MotionMessage(entry); }

QString FileFilter() { return Text(MotCaption) + QStringLiteral(" (*.csv)|*.csv"); }

// Motion files keep positions relative to the home position in force when they are written or read.
HomePositions HomeInForce(const MainOperations &main)
{
    HomePositions home;
    for (int n = 1; n <= kChannelCount; ++n)
        home[size_t(n - 1)] = main.HomeValue(n);
    return home;
}

}  // namespace

// Lends the transfers the window's progress bar, its enabling and its refresh.
class TMotionForm::View : public TransferView {
public:
    explicit View(TMotionForm &form) : form_(form) {}
    void SetBusy(bool busy) override { form_.setEnabled(!busy); }
    void SetProgress(int maximum, int value) override { ShowProgress(form_.COMM_GAUGE, maximum, value); }
    void Refresh() override { form_.Refresh(); }

private:
    TMotionForm &form_;
};

// One change of the rows: rows [from, from + before's count) were `before` and became `after`. Rows are
// kept as shared texts, so a step costs what it changed, not the whole list.
class TMotionForm::Edit : public QUndoCommand {
public:
    Edit(TMotionForm &form, int from, MotionRows before, MotionRows after, QStringList captionsBefore,
         QStringList captionsAfter)
        : form_(form), from_(from), before_(std::move(before)), after_(std::move(after)),
          captionsBefore_(std::move(captionsBefore)), captionsAfter_(std::move(captionsAfter))
    {}

    void undo() override { Apply(after_.Size(), before_, captionsBefore_); }
    void redo() override
    {
        if (done_)  // pushed after the change was made
            done_ = false;
        else
            Apply(before_.Size(), after_, captionsAfter_);
    }

private:
    void Apply(qsizetype count, const MotionRows &rows, const QStringList &captions)
    {
        form_.data_->ReplaceRows(from_, int(count), rows);
        if (captionsBefore_ != captionsAfter_)
            form_.data_->SetCaptions(captions);
        form_.ShowUndoStep(from_, int(rows.Size()));
    }

    TMotionForm &form_;
    int from_;
    MotionRows before_;
    MotionRows after_;
    QStringList captionsBefore_;
    QStringList captionsAfter_;
    bool done_ = true;
};

TMotionForm::TMotionForm(QWidget *parent, MainOperations &main, const QString &programFolder,
                         const MotionFormPlacement &placement, const QDate &today)
    : QWidget(parent, Qt::Window), main_(main), folder_(programFolder), data_(new MotionData(this)),
      view_(std::make_unique<View>(*this)), transfer_(std::make_unique<MotionTransfer>(main, *view_)),
      undo_(new QUndoStack(this))
{
    setObjectName(QStringLiteral("MotionForm"));
    for (int n = 1; n <= kChannelCount; ++n)
        data_->SetChannelCaption(n, main_.ChannelName(n));
    BuildControls();
    ApplyLanguage();

    const QString start = MotionStartFileName(today);
    openName_ = folder_.isEmpty() ? start : folder_ + QLatin1Char('/') + start;
    saveName_ = openName_;

    for (int speed = 0; speed < 8; ++speed)
        SP[size_t(speed)]->setProperty("tag", speed);
    ShowRowCount();
    for (int slot = 0; slot < kSlotCount; ++slot)
        MOTION_NUM->addItem(QStringLiteral("M") + QString::number(slot));
    MOTION_NUM->setCurrentIndex(0);

    main_.AddChannelLookListener(this);
    PlaceWindow(placement);
}

TMotionForm::~TMotionForm() = default;

QToolButton *TMotionForm::AddButton(const char *name, int hint)
{
    auto *button = new QToolButton(ToolBar);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(OrvaneIcon(button->objectName()));
    button->setProperty("hint", hint);
    ToolBar->addWidget(button);
    return button;
}

QAction *TMotionForm::AddMenuItem(QMenu *menu, const char *name, int caption)
{
    QAction *action = menu->addAction(QString());
    action->setObjectName(QLatin1String(name));
    action->setProperty("caption", caption);
    return action;
}

void TMotionForm::BuildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setIconSize(QSize(20, 20));
    NEW_BTN = AddButton("NEW_BTN", MotHintNew);
    OPEN_BTN = AddButton("OPEN_BTN", MotHintOpen);
    SAVE_BTN = AddButton("SAVE_BTN", MotHintSave);
    DEF_SCR_BTN = AddButton("DEF_SCR_BTN", MotHintDefScr);
    ToolBar->addSeparator();
    COPY_BTN = AddButton("COPY_BTN", MotCopy);
    CUT_BTN = AddButton("CUT_BTN", MotCut);
    PASTE_BTN = AddButton("PASTE_BTN", MotPaste);
    ToolBar->addSeparator();
    MOT_WRITE_BTN = AddButton("MOT_WRITE_BTN", MotHintWrite);
    MOT_READ_BTN = AddButton("MOT_READ_BTN", MotHintRead);
    MOT_FORMAT_BTN = AddButton("MOT_FORMAT_BTN", MotHintClear);
    RUN_BTN = AddButton("RUN_BTN", MotHintRun);
    MOTION_NUM = new QComboBox(ToolBar);
    MOTION_NUM->setObjectName(QStringLiteral("MOTION_NUM"));
    MOTION_NUM->setMaxVisibleItems(20);
    ToolBar->addWidget(MOTION_NUM);
    ToolBar->addSeparator();
    EDITION_BTN = AddButton("EDITION_BTN", MotEdit);
    INSERT_BTN = AddButton("INSERT_BTN", MotInsert);
    DELETE_BTN = AddButton("DELETE_BTN", MotDelete);
    layout->addWidget(ToolBar);

    CaptionLine = new QLabel(this);
    CaptionLine->setObjectName(QStringLiteral("CaptionLine"));
    CaptionLine->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(CaptionLine);

    PosList = new QTableView(this);
    PosList->setObjectName(QStringLiteral("PosList"));
    PosList->setModel(data_);
    PosList->setSelectionBehavior(QAbstractItemView::SelectRows);
    PosList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    PosList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PosList->setSortingEnabled(false);
    PosList->setCornerButtonEnabled(false);
    PosList->setShowGrid(false);
    PosList->setWordWrap(false);
    PosList->verticalHeader()->hide();
    PosList->verticalHeader()->setDefaultSectionSize(PosList->fontMetrics().height() + 4);
    PosList->horizontalHeader()->setSectionsClickable(false);
    PosList->horizontalHeader()->setHighlightSections(false);
    PosList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PosList->setContextMenuPolicy(Qt::CustomContextMenu);
    PosList->installEventFilter(this);
    layout->addWidget(PosList, 1);
    DEF_SCR_BTNClick();

    Popup1 = new QMenu(this);
    Popup1->setObjectName(QStringLiteral("Popup1"));
    SPEED_MENU = Popup1->addMenu(QString());
    SPEED_MENU->setObjectName(QStringLiteral("SPEED_MENU"));
    for (int speed = 0; speed < 8; ++speed) {
        QAction *item = SPEED_MENU->addAction(QString::fromLatin1(kSpeedCaptions[speed]));
        item->setObjectName(QStringLiteral("SP_%1").arg(speed));
        item->setCheckable(true);
        SP[size_t(speed)] = item;
        connect(item, &QAction::triggered, this, [this, item] { SP_0Click(item); });
    }
    RENAME_MENU = AddMenuItem(Popup1, "RENAME_MENU", MotRenameMenu);
    Popup1->addSeparator();
    EDITION_MENU = AddMenuItem(Popup1, "EDITION_MENU", MotEdit);
    INSERT_MENU = AddMenuItem(Popup1, "INSERT_MENU", MotInsert);
    Popup1->addSeparator();
    CUT_MENU = AddMenuItem(Popup1, "CUT_MENU", MotCut);
    COPY_MENU = AddMenuItem(Popup1, "COPY_MENU", MotCopy);
    PASTE_MENU = AddMenuItem(Popup1, "PASTE_MENU", MotPaste);
    Popup1->addSeparator();
    DELETE_MENU = AddMenuItem(Popup1, "DELETE_MENU", MotDelete);
    Popup1->addSeparator();
    UNDO_MENU = AddMenuItem(Popup1, "UNDO_MENU", MotUndo);
    REDO_MENU = AddMenuItem(Popup1, "REDO_MENU", MotRedo);
    UNDO_MENU->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    REDO_MENU->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    UNDO_MENU->setEnabled(false);
    REDO_MENU->setEnabled(false);
    // The keys work anywhere in the window, not only with the menu open.
    addAction(UNDO_MENU);
    addAction(REDO_MENU);
    connect(undo_, &QUndoStack::canUndoChanged, UNDO_MENU, &QAction::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, REDO_MENU, &QAction::setEnabled);

    auto *bottom = new QWidget(this);
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 2, 4, 2);
    COMM_GAUGE = new QProgressBar(bottom);
    COMM_GAUGE->setObjectName(QStringLiteral("COMM_GAUGE"));
    COMM_GAUGE->setTextVisible(false);
    COMM_GAUGE->setRange(0, 100);
    COMM_GAUGE->setValue(0);
    POS_COUNT_LABEL = new QLabel(bottom);
    POS_COUNT_LABEL->setObjectName(QStringLiteral("POS_COUNT_LABEL"));
    POS_COUNT_LABEL->setMinimumWidth(90);
    bottomLayout->addWidget(COMM_GAUGE, 1);
    bottomLayout->addWidget(POS_COUNT_LABEL);
    layout->addWidget(bottom);

    connect(NEW_BTN, &QToolButton::clicked, this, &TMotionForm::NEW_BTNClick);
    connect(OPEN_BTN, &QToolButton::clicked, this, &TMotionForm::OPEN_BTNClick);
    connect(SAVE_BTN, &QToolButton::clicked, this, &TMotionForm::SAVE_BTNClick);
    connect(DEF_SCR_BTN, &QToolButton::clicked, this, &TMotionForm::DEF_SCR_BTNClick);
    connect(COPY_BTN, &QToolButton::clicked, this, &TMotionForm::COPY_BTNClick);
    connect(CUT_BTN, &QToolButton::clicked, this, &TMotionForm::CUT_BTNClick);
    connect(PASTE_BTN, &QToolButton::clicked, this, &TMotionForm::PASTE_BTNClick);
    connect(MOT_WRITE_BTN, &QToolButton::clicked, this, &TMotionForm::MOT_WRITE_BTNClick);
    connect(MOT_READ_BTN, &QToolButton::clicked, this, &TMotionForm::MOT_READ_BTNClick);
    connect(MOT_FORMAT_BTN, &QToolButton::clicked, this, &TMotionForm::MOT_FORMAT_BTNClick);
    connect(RUN_BTN, &QToolButton::clicked, this, &TMotionForm::RUN_BTNClick);
    connect(EDITION_BTN, &QToolButton::clicked, this, &TMotionForm::EDITION_BTNClick);
    connect(INSERT_BTN, &QToolButton::clicked, this, &TMotionForm::INSERT_BTNClick);
    connect(DELETE_BTN, &QToolButton::clicked, this, &TMotionForm::DELETE_BTNClick);
    connect(RENAME_MENU, &QAction::triggered, this, &TMotionForm::RENAME_MENUClick);
    connect(EDITION_MENU, &QAction::triggered, this, &TMotionForm::EDITION_BTNClick);
    connect(INSERT_MENU, &QAction::triggered, this, &TMotionForm::INSERT_BTNClick);
    connect(CUT_MENU, &QAction::triggered, this, &TMotionForm::CUT_BTNClick);
    connect(COPY_MENU, &QAction::triggered, this, &TMotionForm::COPY_BTNClick);
    connect(PASTE_MENU, &QAction::triggered, this, &TMotionForm::PASTE_BTNClick);
    connect(DELETE_MENU, &QAction::triggered, this, &TMotionForm::DELETE_BTNClick);
    connect(UNDO_MENU, &QAction::triggered, this, &TMotionForm::UNDO_MENUClick);
    connect(REDO_MENU, &QAction::triggered, this, &TMotionForm::REDO_MENUClick);
    connect(Popup1, &QMenu::aboutToShow, this, &TMotionForm::Popup1Popup);
    connect(SPEED_MENU, &QMenu::aboutToShow, this, &TMotionForm::SPEED_MENUPopup);
    connect(PosList, &QTableView::customContextMenuRequested, this,
            [this](const QPoint &pos) { Popup1->popup(PosList->viewport()->mapToGlobal(pos)); });
    connect(PosList, &QTableView::doubleClicked, this, [this] { EDITION_BTNClick(); });
}

void TMotionForm::ApplyLanguage()
{
    setWindowTitle(Text(MotWindowTitle));
    for (QToolButton *button : ToolBar->findChildren<QToolButton *>()) {
        const QVariant hint = button->property("hint");
        if (hint.isValid())
            button->setToolTip(Text(hint.toInt()));
    }
    MOTION_NUM->setToolTip(Text(MotHintMotionNum));
    CaptionLine->setText(Text(MotCaption));
    SPEED_MENU->setTitle(Text(MotSpeedMenu));
    for (QAction *item : Popup1->actions()) {
        const QVariant caption = item->property("caption");
        if (caption.isValid())
            item->setText(Text(caption.toInt()));
    }
}

void TMotionForm::PlaceWindow(const MotionFormPlacement &placement)
{
    if (SavedPlaceOnScreen(placement.top, placement.left)) {
        move(placement.left, placement.top);
        resize(placement.width > 0 ? placement.width : kDefaultWidth,
               placement.height > 0 ? placement.height : kDefaultHeight);
        if (placement.visible)
            show();
        return;
    }
    resize(kDefaultWidth, kDefaultHeight);
    move(CentredOnScreen(QSize(kDefaultWidth, kDefaultHeight)));
}

MotionFormPlacement TMotionForm::Placement() const
{
    return {PlacementVisible(), PlacementTop(), PlacementLeft(), PlacementWidth(), PlacementHeight()};
}

bool TMotionForm::HasRows() const { return data_->Count() > 0; }

int TMotionForm::RowCount() const { return data_->Count(); }

bool TMotionForm::TransferRunning() const { return transfer_->Running(); }

QList<int> TMotionForm::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : PosList->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString TMotionForm::Field(int row, int column) const { return data_->Field(row, column); }

PromptAnswer TMotionForm::Ask(int entry, PromptButtons buttons)
{
    return main_.UserPrompt().Message(PromptIcon::Question, Text(MotConfirmTitle), Text(entry), buttons);
}

void TMotionForm::Warn(const QString &text)
{
    main_.UserPrompt().Message(PromptIcon::Warning, Text(MotWarningTitle), text, PromptButtons::Ok);
}

void TMotionForm::ShowRowCount()
{
    POS_COUNT_LABEL->setText(QStringLiteral("DATA > ") + QString::number(data_->Count()));
}

void TMotionForm::RedrawGraph() { emit GraphRedrawRequested(data_->Count()); }

void TMotionForm::Refresh()
{
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::SelectFocusRow()
{
    const QModelIndex current = PosList->currentIndex();
    if (current.isValid())
        PosList->selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TMotionForm::ChannelLookChanged(int channel, const QString &name, uint32_t, uint32_t)
{
    data_->SetChannelCaption(channel, name);
}

void TMotionForm::AppendPosition(const QString &name, const QString &speed, const QStringList &values)
{
    QStringList fields{QString::number(data_->Count() + 1), name, speed};
    fields += values.mid(0, kChannelCount);
    Recorded(data_->Count(), [&] { data_->AppendRowFields(fields); });
    Refresh();
}

void TMotionForm::OverwriteSelected(const QString &name, const QString &speed, const QStringList &values)
{
    QStringList fields{name, speed};
    fields += values.mid(0, kChannelCount);
    const QList<int> selected = SelectedRows();
    if (!selected.isEmpty()) {
        Recorded(selected.first(), [&] {
            for (int row : selected)
                data_->OverwriteRow(row, fields);
        });
    }
    RedrawGraph();
}

void TMotionForm::NEW_BTNClick()
{
    if (Ask(MotDataLost, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return;
    Recorded(0, [this] { data_->ClearRows(); });
    Refresh();
}

void TMotionForm::OPEN_BTNClick()
{
    if (HasRows() && Ask(MotDataLost, PromptButtons::OkCancel) != PromptAnswer::Ok) {
        Refresh();
        return;
    }
    const QString path = main_.UserPrompt().OpenFile(QString(), FileFilter(), openName_);
    if (path.isEmpty()) {
        Refresh();
        return;
    }
    openName_ = path;

    const HomePositions home = HomeInForce(main_);
    MotionFileLoad load = LoadMotionFile(path, home);
    if (load.error == MotionFileError::CannotRead) {
        Warn(Text(MotOpenFailed) + QStringLiteral("\r\n") + load.detail);
        Refresh();
        return;
    }

    Recorded(0, [&] { ApplyLoad(std::move(load)); });
    Refresh();
}

// Renewing the labels renames the channels at once, which reaches these captions through the look
// listener; a rejected file must still leave the captions as they were.
void TMotionForm::ApplyLoad(MotionFileLoad &&load)
{
    const QStringList oldCaptions = data_->Captions();
    QStringList captions;
    if (load.headerValid()) {
        QStringList names;
        for (int n = 1; n <= kChannelCount; ++n)
            names << main_.ChannelName(n);
        bool renew = false;
        if (ChannelNamesDiffer(load.header, names) && Ask(MotRenewLabel, PromptButtons::OkCancel) == PromptAnswer::Ok) {
            renew = true;
            for (int n = 1; n <= kChannelCount; ++n)
                main_.SetChannelLook(n, load.header[kFirstChannelColumn + n - 1], main_.PanelColor(n),
                                     main_.NameColor(n), main_.PanelVisible(n));
        }
        captions = CaptionsAfterLoad(load.header, names, renew);
    }
    if (!ApplyMotionLoad(*data_, std::move(load), captions)) {
        data_->SetCaptions(oldCaptions);
        Warn(Text(MotFileRejected));
    }
}

bool TMotionForm::Save()
{
    if (!HasRows()) {
        Warn(Text(MotSaveEmpty));
        return false;
    }
    QString path = main_.UserPrompt().SaveFile(QString(), FileFilter(), saveName_);
    if (path.isEmpty())
        return false;
    path = WithMotionExtension(path);
    saveName_ = path;

    const HomePositions home = HomeInForce(main_);
    QString error;
    if (!SaveMotionFile(path, data_->Captions(), data_->Rows(), home, &error)) {
        Warn(Text(MotSaveFailed) + QStringLiteral("\r\n") + error);
        return false;
    }
    return true;
}

void TMotionForm::DEF_SCR_BTNClick()
{
    PosList->setColumnWidth(kNoColumn, kNoWidth);
    PosList->setColumnWidth(kNameColumn, kNameWidth);
    PosList->setColumnWidth(kSpeedColumn, kSpeedWidth);
    for (int n = 0; n < kChannelCount; ++n)
        PosList->setColumnWidth(kFirstChannelColumn + n, kChannelWidth);
}

void TMotionForm::FillClipboard()
{
    clipboard_.clear();
    for (int row : SelectedRows())
        clipboard_.append(data_->Fields(row).mid(kNameColumn));
}

void TMotionForm::COPY_BTNClick()
{
    if (!HasRows())
        return;
    FillClipboard();
    SelectFocusRow();
}

void TMotionForm::CUT_BTNClick()
{
    if (!HasRows())
        return;
    FillClipboard();
    DELETE_BTNClick();
}

void TMotionForm::PASTE_BTNClick()
{
    if (clipboard_.isEmpty())
        return;
    const QList<int> selected = SelectedRows();
    int p = selected.isEmpty() ? -1 : selected.first();
    if (p == data_->Count() - 1 && Ask(MotPasteAfterLast, PromptButtons::YesNo) == PromptAnswer::Yes)
        ++p;
    QList<QStringList> rows;
    rows.reserve(clipboard_.size());
    for (const QStringList &clip : clipboard_)
        rows.append(QStringList{QString()} + clip);
    Recorded(p < 0 ? data_->Count() : p, [&] {
        data_->InsertRowsFields(p, rows);
        data_->RenumberFrom(std::max(p, 0));
    });
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::INSERT_BTNClick()
{
    const QList<int> selected = SelectedRows();
    const int p = selected.isEmpty() ? -1 : selected.first();
    QStringList row{QString(), QStringLiteral("DATA"), QStringLiteral("7")};
    for (int n = 0; n < kChannelCount; ++n)
        row << QStringLiteral("225");
    Recorded(p < 0 ? data_->Count() : p, [&] {
        data_->InsertRowFields(p, row);
        data_->RenumberFrom(std::max(p, 0));
    });
    SelectFocusRow();
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::DELETE_BTNClick()
{
    const QList<int> selected = SelectedRows();
    if (selected.isEmpty())
        return;
    int first = -1;
    Recorded(selected.first(), [&] {
        first = data_->DeleteRows(selected);
        if (first >= 0)
            data_->RenumberFrom(first);
    });
    if (first < 0)
        return;
    SelectFocusRow();
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::EDITION_BTNClick()
{
    const QList<int> selected = SelectedRows();
    if (selected.isEmpty())
        return;
    const int row = selected.first();
    emit DataNameHandedOver(Field(row, kNameColumn));
    const std::optional<int> parsed = ParseDecimal(Field(row, kSpeedColumn));
    const bool speedValid = parsed && *parsed >= 0 && *parsed <= 7;
    if (speedValid)
        emit SpeedHandedOver(*parsed);
    for (int n = 1; n <= kChannelCount; ++n) {
        if (const std::optional<int> v = ParseDecimal(Field(row, kFirstChannelColumn + n - 1)))
            main_.SetChannel(n, *v, 0);
    }
    if (main_.SyncMode()) {
        const int speed = speedValid ? *parsed : main_.Speed();
        main_.SendBoardPositions(0, speed);
        main_.SendBoardPositions(1, speed);
    }
}

void TMotionForm::RENAME_MENUClick()
{
    const QList<int> selected = SelectedRows();
    if (selected.isEmpty())
        return;
    QString name = Field(selected.first(), kNameColumn);
    if (main_.UserPrompt().Input(Text(MotRenameTitle), Text(MotRenamePrompt), name))
        Recorded(selected.first(), [&] { data_->SetField(selected.first(), kNameColumn, name); });
}

void TMotionForm::SP_0Click(QAction *sender)
{
    const QString speed = QString::number(sender->property("tag").toInt());
    const QList<int> selected = SelectedRows();
    if (!selected.isEmpty()) {
        Recorded(selected.first(), [&] {
            for (int row : selected)
                data_->SetField(row, kSpeedColumn, speed);
        });
    }
    RedrawGraph();
}

void TMotionForm::SPEED_MENUPopup()
{
    const QList<int> selected = SelectedRows();
    const std::optional<int> speed =
        selected.isEmpty() ? std::nullopt : ParseDecimal(Field(selected.first(), kSpeedColumn));
    for (QAction *item : SP)
        item->setChecked(speed && item->property("tag").toInt() == *speed);
}

void TMotionForm::Popup1Popup()
{
    const qsizetype selected = SelectedRows().size();
    EDITION_MENU->setEnabled(selected == 1);
    CUT_MENU->setEnabled(selected > 0);
    COPY_MENU->setEnabled(selected > 0);
    SPEED_MENU->menuAction()->setEnabled(selected > 0);
}

bool TMotionForm::PosListKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    return RunListKey(key, modifiers,
                      {[this] { INSERT_BTNClick(); }, [this] { DELETE_BTNClick(); }, [this] { COPY_BTNClick(); },
                       [this] { CUT_BTNClick(); }, [this] { PASTE_BTNClick(); }});
}

bool TMotionForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PosList
        && FilterListKeyEvent(event, true, [this](int key, Qt::KeyboardModifiers m) { return PosListKeyDown(key, m); }))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TMotionForm::MOT_WRITE_BTNClick() { transfer_->Write(*data_, MOTION_NUM->currentIndex()); }

void TMotionForm::MOT_READ_BTNClick()
{
    Recorded(0, [this] { transfer_->Read(*data_, MOTION_NUM->currentIndex()); });
}

void TMotionForm::MOT_FORMAT_BTNClick() { transfer_->Clear(MOTION_NUM->currentIndex()); }

void TMotionForm::RUN_BTNClick() { transfer_->Play(MOTION_NUM->currentIndex()); }

void TMotionForm::Recorded(int from, const std::function<void()> &change)
{
    const int countBefore = data_->Count();
    from = std::clamp(from, 0, countBefore);
    MotionRows before = data_->Rows().Slice(from, countBefore - from);
    const QStringList captionsBefore = data_->Captions();
    change();
    MotionRows after = data_->Rows().Slice(from, data_->Count() - from);
    // Keep only the rows that differ: an edit of one row in a long list costs one row.
    qsizetype head = 0;
    while (head < before.Size() && head < after.Size() && before.SameRow(head, after, head))
        ++head;
    qsizetype tail = 0;
    while (tail < before.Size() - head && tail < after.Size() - head
           && before.SameRow(before.Size() - 1 - tail, after, after.Size() - 1 - tail))
        ++tail;
    const bool captionsChanged = data_->Captions() != captionsBefore;
    if (head == before.Size() && head == after.Size() && !captionsChanged)
        return;
    undo_->push(new Edit(*this, from + int(head), before.Slice(head, before.Size() - head - tail),
                         after.Slice(head, after.Size() - head - tail), captionsBefore, data_->Captions()));
}

void TMotionForm::ShowUndoStep(int from, int count)
{
    ShowRowCount();
    RedrawGraph();
    PosList->clearSelection();
    if (count > 0) {
        PosList->selectionModel()->select(
            QItemSelection(data_->index(from, 0), data_->index(from + count - 1, kMotionFieldCount - 1)),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (from < data_->Count()) {
        PosList->selectionModel()->setCurrentIndex(data_->index(from, 0), QItemSelectionModel::NoUpdate);
        PosList->scrollTo(data_->index(from, 0));
    }
}

void TMotionForm::UNDO_MENUClick()
{
    if (!TransferRunning())
        undo_->undo();
}

void TMotionForm::REDO_MENUClick()
{
    if (!TransferRunning())
        undo_->redo();
}
