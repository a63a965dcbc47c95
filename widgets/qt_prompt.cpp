#include "widgets/qt_prompt.h"

#include "widgets/input_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {
QMessageBox::Icon QtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    }
    return QMessageBox::Information;
}

QString BoxText(const QString &text) { return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")); }
}  // namespace

QWidget *QtPrompt::Owner() const
{
    // A notice closes by itself under whatever stands on it, so it never parents another box.
    for (QWidget *candidate : {QApplication::activeModalWidget(), QApplication::activeWindow()}) {
        if (candidate && candidate->isVisible() && candidate != notice_)
            return candidate;
    }
    if (owner_)
        return owner_;
    return QApplication::activeWindow();
}

void QtPrompt::Notice(PromptIcon icon, const QString &title, const QString &text)
{
    if (!notice_) {
        notice_ = new QMessageBox(QtIcon(icon), title, BoxText(text), QMessageBox::Ok, Owner());
        notice_->setObjectName(QStringLiteral("NoticeBox"));
        notice_->setAttribute(Qt::WA_DeleteOnClose);
        notice_->setWindowModality(Qt::NonModal);
    } else {
        notice_->setIcon(QtIcon(icon));
        notice_->setWindowTitle(title);
        notice_->setText(BoxText(text));
    }
    notice_->show();
    notice_->raise();
}

PromptAnswer QtPrompt::Message(PromptIcon icon, const QString &title, const QString &text, PromptButtons buttons)
{
    QMessageBox box(QtIcon(icon), title, BoxText(text), QMessageBox::NoButton, Owner());
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    default: break;
    }
    // Closed by the window's close box: the escape button's meaning.
    return buttons == PromptButtons::YesNo ? PromptAnswer::No
           : buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                           : PromptAnswer::Cancel;
}

bool QtPrompt::Input(const QString &caption, const QString &prompt, QString &value)
{
    return InputQuery(Owner(), caption, prompt, value);
}

QString QtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        const QString bracketed = QLatin1Char('(') + patterns + QLatin1Char(')');
        result << (description.endsWith(bracketed) ? description : description + QLatin1Char(' ') + bracketed);
    }
    return result.join(QLatin1String(";;"));
}

namespace {
QString RunFileDialog(QWidget *owner, QFileDialog::AcceptMode mode, const QString &title, const QString &filter,
                      const QString &initial, bool confirmOverwrite = true)
{
    QFileDialog dialog(owner, title);
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QtFileFilter(filter));
    if (!initial.isEmpty()) {
        const QFileInfo info(initial);
        if (info.dir().exists())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QColor FromColorNumber(uint32_t color)
{
    if (color & 0xFF000000u)
        return QApplication::palette().color(QPalette::Button);
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}
}  // namespace

QString QtPrompt::OpenFile(const QString &title, const QString &filter, const QString &initial)
{
    return RunFileDialog(Owner(), QFileDialog::AcceptOpen, title, filter, initial);
}

QString QtPrompt::SaveFile(const QString &title, const QString &filter, const QString &initial)
{
    // QFileDialog asks before overwriting an existing file unless told otherwise.
    return RunFileDialog(Owner(), QFileDialog::AcceptSave, title, filter, initial);
}

QString QtPrompt::SaveFileReplacing(const QString &title, const QString &filter, const QString &initial)
{
    return RunFileDialog(Owner(), QFileDialog::AcceptSave, title, filter, initial, false);
}

bool QtPrompt::Color(uint32_t &color)
{
    const QColor chosen = QColorDialog::getColor(FromColorNumber(color), Owner());
    if (!chosen.isValid())
        return false;
    color = uint32_t(chosen.red()) | (uint32_t(chosen.green()) << 8) | (uint32_t(chosen.blue()) << 16);
    return true;
}
