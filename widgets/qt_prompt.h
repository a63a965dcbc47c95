#pragma once
// The real prompt: Qt message boxes, the input dialog, file dialogs and the colour dialog.

#include "session/prompt.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget *owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget *owner) { owner_ = owner; }

    PromptAnswer Message(PromptIcon icon, const QString &title, const QString &text, PromptButtons buttons) override;
    // One notice at a time: a second one while the first is up replaces its text.
    void Notice(PromptIcon icon, const QString &title, const QString &text) override;
    bool Input(const QString &caption, const QString &prompt, QString &value) override;
    QString OpenFile(const QString &title, const QString &filter, const QString &initial) override;
    QString SaveFile(const QString &title, const QString &filter, const QString &initial) override;
    QString SaveFileReplacing(const QString &title, const QString &filter, const QString &initial) override;
    bool Color(uint32_t &color) override;

    // The box of the last notice while it is up.
    QWidget *NoticeBox() const { return notice_; }

private:
    // The window that asks: the active one, so a box stands over the window the user is working in.
    QWidget *Owner() const;
    QPointer<QWidget> owner_;
    QPointer<QMessageBox> notice_;
};

// "desc|*.ext|desc2|*.a;*.b" -> "desc (*.ext);;desc2 (*.a *.b)"; a description that already ends with its
// pattern in brackets is kept as it is.
QString QtFileFilter(const QString &filter);
