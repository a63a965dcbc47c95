#pragma once
// TMotionForm: the motion editor, a view of the motion data. The data and every rule that edits it live in
// its MotionDocument; the window builds the controls on the shared list-editor frame, asks the questions,
// keeps the motion files and runs the transfers of the motion data to and from the boards, and shows what
// the document holds. Created once at start and kept until the program ends; hiding it keeps the data.

#include "session/main_operations.h"
#include "session/prompt.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QTableView;
class QToolBar;
class QToolButton;
class QUndoStack;
class ListEditorFrame;
struct ListKeyActions;

namespace orvane {
class MotionData;
class MotionDocument;
class MotionTransfer;
}  // namespace orvane

// The window's placement as ORV.ini keeps it: ListView, ListTop, ListLeft, ListWidth, ListHeight.
struct MotionFormPlacement {
    bool visible = false;
    int top = -1;
    int left = -1;
    int width = -1;
    int height = -1;
};

class TMotionForm : public QWidget, public ChannelLookListener {
    Q_OBJECT
public:
    // Registers itself with main as a channel look listener. `today` names the file dialogs' start name.
    TMotionForm(QWidget *parent, MainOperations &main, const QString &programFolder,
                const MotionFormPlacement &placement, const QDate &today = QDate::currentDate());
    ~TMotionForm() override;

    // The motion data with its editing rules and history; changes made there show here.
    orvane::MotionDocument &Document() const { return *doc_; }
    // The motion data, for the graph window and the main window.
    orvane::MotionData *model() const;
    bool HasRows() const;
    int RowCount() const;
    // Selected rows, ascending.
    QList<int> SelectedRows() const;

    // `add current position`: appends a row numbered with the new row count, then refreshes.
    void AppendPosition(const QString &name, const QString &speed, const QStringList &values);
    // `overwrite selected positions`: fields 2 to 27 of every selected row (NO stays), then the graph.
    void OverwriteSelected(const QString &name, const QString &speed, const QStringList &values);
    // Saves the motion data to a file the user names; true when a file was written.
    bool Save();

    // What the main window writes into ORV.ini at closing.
    MotionFormPlacement Placement() const;
    bool PlacementVisible() const { return isVisible(); }
    int PlacementTop() const { return y(); }
    int PlacementLeft() const { return x(); }
    int PlacementWidth() const { return width(); }
    int PlacementHeight() const { return height(); }

    // Caption 3 + n follows the name of channel n.
    void ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor) override;

    // Row count display and graph.
    void Refresh();
    // The editor's own copy buffer: rows of 26 texts (DATA NAME, SPEED, CH1 to CH24).
    const QList<QStringList> &ClipboardRows() const;
    bool TransferRunning() const;

    // Event handlers, named after their controls.
    void NEW_BTNClick();
    void OPEN_BTNClick();
    void SAVE_BTNClick() { Save(); }
    void DEF_SCR_BTNClick();
    void COPY_BTNClick();
    void CUT_BTNClick();
    void PASTE_BTNClick();
    void EDITION_BTNClick();
    void INSERT_BTNClick();
    void DELETE_BTNClick();
    void RENAME_MENUClick();
    void SP_0Click(QAction *sender);  // every speed item; its tag is the speed
    void SPEED_MENUPopup();
    void Popup1Popup();
    // True when the key was one of the list's commands (acted on or refused for its modifiers).
    bool PosListKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void MOT_WRITE_BTNClick();
    void MOT_READ_BTNClick();
    void MOT_FORMAT_BTNClick();
    void RUN_BTNClick();
    // Every change of the rows can be taken back and done again until the program ends.
    void UNDO_MENUClick();
    void REDO_MENUClick();
    QUndoStack *UndoStack() const;

    // Controls, by their names.
    QToolBar *ToolBar;
    QToolButton *NEW_BTN, *OPEN_BTN, *SAVE_BTN, *DEF_SCR_BTN;
    QToolButton *COPY_BTN, *CUT_BTN, *PASTE_BTN;
    QToolButton *MOT_WRITE_BTN, *MOT_READ_BTN, *MOT_FORMAT_BTN, *RUN_BTN;
    QComboBox *MOTION_NUM;
    QToolButton *EDITION_BTN, *INSERT_BTN, *DELETE_BTN;
    QLabel *CaptionLine;
    QTableView *PosList;
    QMenu *Popup1, *SPEED_MENU;
    std::array<QAction *, 8> SP{};
    QAction *RENAME_MENU, *EDITION_MENU, *INSERT_MENU, *CUT_MENU, *COPY_MENU, *PASTE_MENU, *DELETE_MENU;
    QAction *UNDO_MENU, *REDO_MENU;
    QProgressBar *COMM_GAUGE;
    QLabel *POS_COUNT_LABEL;

signals:
    // Connected by the main window to the graph window.
    void GraphRedrawRequested(int rowCount);
    // Edit hands the first selected row to the main window: its DATA NAME for the DATA_NAME field and its
    // speed (0 to 7) for the speed buttons; the channels go through MainOperations::SetChannel.
    void DataNameHandedOver(const QString &name);
    void SpeedHandedOver(int speed);

private:
    class OwnEdit;

    void BuildControls();
    void ApplyLanguage();
    void PlaceWindow(const MotionFormPlacement &placement);
    ListKeyActions Keys();
    void RedrawGraph();
    void ShowRowCount();
    void SelectFocusRow();
    QString Field(int row, int column) const;
    PromptAnswer Ask(int entry, PromptButtons buttons);
    void Warn(const QString &text);
    // A change of the document this window did not start itself (the main window's appending, say).
    void DocumentEdited();
    // After an undo or redo: count, graph, and the rows it touched selected.
    void ShowUndoStep(int from, int count);

    MainOperations &main_;
    orvane::MotionDocument *doc_;
    ListEditorFrame *frame_;
    std::unique_ptr<orvane::MotionTransfer> transfer_;
    bool ownEdit_ = false;
};
