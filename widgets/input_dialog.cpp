#include "widgets/input_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TInputDialog::TInputDialog(const QString &caption, const QString &prompt, const QString &value, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("InputDialog"));
    setWindowTitle(caption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    prompt_ = new QLabel(prompt, this);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit"));
    edit_->setMaxLength(kMaxLength);
    edit_->setText(value);
    edit_->selectAll();
    edit_->setMinimumWidth(300);

    // Standard buttons, so that Qt's translation gives them the program's language.
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("OkButton"));
    ok_->setDefault(true);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

QString TInputDialog::Value() const { return edit_->text(); }

bool InputQuery(QWidget *parent, const QString &caption, const QString &prompt, QString &value)
{
    TInputDialog dialog(caption, prompt, value, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.Value();
    return true;
}
