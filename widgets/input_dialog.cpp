#include "widgets/input_dialog.h"

#include <QHBoxLayout>
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

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OkButton"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(edit_);
    layout->addLayout(buttons);
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
