#pragma once
// The real prompt: Qt message boxes, the input dialog, file dialogs and the colour dialog.

#include "session/prompt.h"

#include <QPointer>
#include <QWidget>

class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget *owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget *owner) { owner_ = owner; }

    PromptAnswer Message(PromptIcon icon, const QString &title, const QString &text, PromptButtons buttons) override;
    bool Input(const QString &caption, const QString &prompt, QString &value) override;
    QString OpenFile(const QString &title, const QString &filter, const QString &initial) override;
    QString SaveFile(const QString &title, const QString &filter, const QString &initial) override;
    QString SaveFileReplacing(const QString &title, const QString &filter, const QString &initial) override;
    bool Color(uint32_t &color) override;

private:
    QWidget *Owner() const;
    QPointer<QWidget> owner_;
};

// "desc|*.ext|desc2|*.a;*.b" -> "desc (*.ext);;desc2 (*.a *.b)"; a description that already ends with its
// pattern in brackets is kept as it is.
QString QtFileFilter(const QString &filter);
