#pragma once
// TFileDialog: the scenario editor window. It shows the scenario document (the scenario data, its copy of the
// motion list and their history), routes the user's commands to it, asks the questions they need and runs the
// scenario transfers. Created once at start and kept until the program ends; closing it keeps both lists.

#include "scenario/scenario_document.h"
#include "session/main_operations.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMimeData;
class QProgressBar;
class QTableView;
class QToolBar;
class QToolButton;
class ListEditorFrame;
struct ListKeyActions;

namespace orvane {
class ScenarioTransfer;
}  // namespace orvane

class TFileDialog : public QDialog {
    Q_OBJECT
public:
    // `today` names the file dialogs' start name.
    TFileDialog(QWidget *parent, MainOperations &main, const QString &programFolder,
                const QDate &today = QDate::currentDate());
    ~TFileDialog() override;

    orvane::ScenarioDocument *Document() const { return doc_; }
    orvane::MotionListModel *Motions() const { return doc_->Motions(); }
    orvane::ScenarioModel *Scenario() const { return doc_->Scenario(); }
    // Selected scenario rows, ascending.
    QList<int> SelectedRows() const;
    // The private copy buffer: (MOTION, DATA NAME) pairs.
    const orvane::ScenarioRows &ClipboardRows() const { return doc_->Clipboard(); }
    bool TransferRunning() const;

    // Event handlers, named after their controls.
    void NEW_BTNClick();
    void OPEN_BTNClick();
    void SAVE_BTNClick();
    void COPY_BTNClick();
    void CUT_BTNClick();
    void PASTE_BTNClick();
    void FILE_UD_BTNClick(QObject *sender);  // tag 1 up, 0 down
    void DELETE_BTNClick();
    void MotListDblClick();
    // Whether a drag with this data may be dropped on `target` (one of the two lists).
    bool MotListDragOver(QWidget *target, const QMimeData *data) const;
    // A motion row dropped on the scenario at `pos` (in the scenario list's viewport).
    void MotListDragDrop(QWidget *target, const QMimeData *data, const QPoint &pos);
    // True when the key is one of the scenario list's commands (acted on or refused for its modifiers).
    bool FileListKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void Popup1Popup();
    void MOT_READ_BTNClick();
    void FILE_WRITE_BTNClick();
    void FILE_READ_BTNClick();
    void FILE_FORMAT_BTNClick();
    void FILE_BTNClick();
    // Every change of the lists can be taken back and done again until the program ends; not while a
    // transfer runs.
    void UNDO_MENUClick();
    void REDO_MENUClick();
    // Escape and the close box wait until a transfer has ended: the window stays up and modal, so nothing
    // else reaches the line in the middle of it.
    void reject() override;

    // Controls, by their names.
    QToolBar *ToolBar;
    QToolButton *MOT_READ_BTN, *NEW_BTN, *OPEN_BTN, *SAVE_BTN;
    QToolButton *COPY_BTN, *CUT_BTN, *PASTE_BTN;
    QToolButton *FILE_DOWN_BTN, *FILE_UP_BTN, *DELETE_BTN;
    QToolButton *FILE_WRITE_BTN, *FILE_READ_BTN, *FILE_FORMAT_BTN, *FILE_BTN;
    QComboBox *FILE_NUM;
    QLabel *MotListLabel, *FileListLabel;
    QTableView *MotList, *FileList;
    QMenu *Popup1;
    QAction *MOV_UP_MENU, *MOV_DOWN_MENU, *CUT_MENU, *COPY_MENU, *PASTE_MENU, *DELETE_MENU;
    QAction *UNDO_MENU, *REDO_MENU;
    QProgressBar *COMM_GAUGE;
    QLabel *FILE_COUNT_LABEL;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void ApplyLanguage();
    ListKeyActions Keys();
    void ShowRowCount();
    // Selects the rows an undo or redo touched.
    void ShowStep(const orvane::ScenarioDocument::Shown &rows);

    MainOperations &main_;
    orvane::ScenarioDocument *doc_;
    ListEditorFrame *frame_;
    std::unique_ptr<orvane::ScenarioTransfer> transfer_;
};
