// Every message box and file dialog of the tool goes through this interface, so tests can
// answer them and see what was shown without running a modal loop.
#pragma once

#include <QString>

class QWidget;

class Prompter {
public:
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompter() = default;

    // A modal message box with this text, caption and buttons; returns the button pressed.
    virtual Answer message(QWidget* parent, const QString& text, const QString& caption, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None) = 0;
    // A modal open-file dialog; an empty string when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    // A modal save-file dialog; an empty string when the user cancels.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;

    // The prompter in use: real dialogs unless a test installed its own.
    static Prompter& current();
    // Installs `prompter` (not owned); nullptr goes back to the real dialogs.
    static void install(Prompter* prompter);
};
