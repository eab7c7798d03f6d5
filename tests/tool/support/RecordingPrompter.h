// A prompter for widget tests: records every message box and file dialog and answers them
// from queues (Ok / the empty file name when a queue is empty). Installs itself for its life.
#pragma once

#include "common/Prompter.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class RecordingPrompter final : public Prompter {
public:
    struct Shown {
        QString text;
        QString caption;
        Buttons buttons;
    };

    RecordingPrompter() { Prompter::install(this); }
    ~RecordingPrompter() override { Prompter::install(nullptr); }

    std::vector<Shown> shown;
    std::deque<Answer> answers;
    std::deque<QString> fileNames;
    QStringList fileDialogCaptions;
    QStringList fileDialogFilters;
    // Runs as each message box is shown, before it is answered.
    std::function<void()> onMessage;

    Answer message(QWidget*, const QString& text, const QString& caption, Buttons buttons, Icon) override {
        shown.push_back({text, caption, buttons});
        if (onMessage) onMessage();
        if (answers.empty()) return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override {
        return openFileName(parent, caption, directory, filter);
    }

    QString openFileName(QWidget*, const QString& caption, const QString&, const QString& filter) override {
        fileDialogCaptions << caption;
        fileDialogFilters << filter;
        if (fileNames.empty()) return {};
        QString name = fileNames.front();
        fileNames.pop_front();
        return name;
    }

    QStringList texts() const {
        QStringList out;
        for (const auto& s : shown) out << s.text;
        return out;
    }
};
