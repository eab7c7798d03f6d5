#include "Prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

class DialogPrompter final : public Prompter {
public:
    Answer message(QWidget* parent, const QString& text, const QString& caption, Buttons buttons, Icon icon) override {
        QMessageBox box(toQtIcon(icon), caption, text, toQtButtons(buttons), parent);
        switch (box.exec()) {
            case QMessageBox::Cancel:
                return Answer::Cancel;
            case QMessageBox::Yes:
                return Answer::Yes;
            case QMessageBox::No:
                return Answer::No;
            default:
                return Answer::Ok;
        }
    }

    QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, directory, filter);
    }

    QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, directory, filter);
    }

private:
    static QMessageBox::Icon toQtIcon(Icon icon) {
        switch (icon) {
            case Icon::Information:
                return QMessageBox::Information;
            case Icon::Warning:
                return QMessageBox::Warning;
            case Icon::Critical:
                return QMessageBox::Critical;
            case Icon::Question:
                return QMessageBox::Question;
            case Icon::None:
                break;
        }
        return QMessageBox::NoIcon;
    }

    static QMessageBox::StandardButtons toQtButtons(Buttons buttons) {
        switch (buttons) {
            case Buttons::OkCancel:
                return QMessageBox::Ok | QMessageBox::Cancel;
            case Buttons::YesNo:
                return QMessageBox::Yes | QMessageBox::No;
            case Buttons::Ok:
                break;
        }
        return QMessageBox::Ok;
    }
};

Prompter* installed = nullptr;

}  // namespace

Prompter& Prompter::current() {
    static DialogPrompter dialogs;
    return installed ? *installed : dialogs;
}

void Prompter::install(Prompter* prompter) { installed = prompter; }
