#pragma once
// A prompt that answers in turn from a script and records every box it was shown.

#include "session/prompt.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <deque>
#include <vector>

struct ShownBox {
    PromptIcon icon;
    QString title;
    QString text;
    PromptButtons buttons;
};

inline void ExpectBox(const ShownBox &box, PromptIcon icon, const QString &title, const char *text,
                      PromptButtons buttons)
{
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.text, QString::fromUtf8(text));
    EXPECT_EQ(box.buttons, buttons);
}

class ScriptedPrompt : public Prompt {
public:
    std::deque<PromptAnswer> answers;  // taken in turn; when empty: Ok / Yes
    std::deque<QString> inputs;        // answers of Input; a null QString cancels
    std::deque<QString> files;         // answers of OpenFile and SaveFile; empty cancels
    std::deque<int64_t> colors;        // answers of Color; negative cancels
    std::vector<ShownBox> boxes;
    std::vector<ShownBox> notices;  // boxes that did not wait (buttons Ok)
    QStringList dialogs;            // captions/titles of the input, file and colour dialogs shown
    QStringList replacingSaves;     // titles of the save dialogs shown without the overwrite question

    PromptAnswer Message(PromptIcon icon, const QString &title, const QString &text, PromptButtons buttons) override
    {
        boxes.push_back({icon, title, text, buttons});
        if (!answers.empty()) {
            const PromptAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    void Notice(PromptIcon icon, const QString &title, const QString &text) override
    {
        notices.push_back({icon, title, text, PromptButtons::Ok});
    }
    bool Input(const QString &caption, const QString &, QString &value) override
    {
        dialogs << caption;
        if (inputs.empty())
            return false;
        const QString a = inputs.front();
        inputs.pop_front();
        if (a.isNull())
            return false;
        value = a.left(255);
        return true;
    }
    QString OpenFile(const QString &title, const QString &, const QString &) override { return NextFile(title); }
    QString SaveFile(const QString &title, const QString &, const QString &) override { return NextFile(title); }
    QString SaveFileReplacing(const QString &title, const QString &, const QString &) override
    {
        replacingSaves << title;
        return NextFile(title);
    }
    bool Color(uint32_t &color) override
    {
        dialogs << QStringLiteral("color");
        if (colors.empty() || colors.front() < 0) {
            if (!colors.empty())
                colors.pop_front();
            return false;
        }
        color = uint32_t(colors.front());
        colors.pop_front();
        return true;
    }
    QStringList Texts() const
    {
        QStringList t;
        for (const auto &b : boxes)
            t << b.text;
        return t;
    }

private:
    QString NextFile(const QString &title)
    {
        dialogs << title;
        if (files.empty())
            return {};
        const QString f = files.front();
        files.pop_front();
        return f;
    }
};
