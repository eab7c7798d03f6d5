#include "ReadControls.h"

#include "common/Prompter.h"
#include "core/machine/FieldParsing.h"

#include <QGuiApplication>
#include <QLineEdit>

#include <limits>

namespace {
const char kIntegerMessage[] = "请输入一个整数。";
const char kNumberMessage[] = "请输入一个数字。";
}  // namespace

ControlReader& ControlReader::integer(QLineEdit* box, std::int32_t& member) {
    if (!ok_) return *this;
    if (auto value = kelvane::ParseBoxInteger(box->text().toStdString()))
        member = *value;
    else
        fail(box, QString::fromUtf8(kIntegerMessage));
    return *this;
}

ControlReader& ControlReader::number(QLineEdit* box, float& member) {
    if (!ok_) return *this;
    if (auto value = kelvane::ParseBoxNumber(box->text().toStdString()))
        member = *value;
    else
        fail(box, QString::fromUtf8(kNumberMessage));
    return *this;
}

ControlReader& ControlReader::integerInRange(QLineEdit* box, std::int32_t& member, int minimum, int maximum) {
    if (!ok_) return *this;
    auto value = kelvane::ParseBoxInteger(box->text().toStdString());
    if (!value || *value < std::numeric_limits<std::int16_t>::min() ||
        *value > std::numeric_limits<std::int16_t>::max()) {
        fail(box, QString::fromUtf8(kIntegerMessage));
    } else if (*value < minimum || *value > maximum) {
        fail(box, QString::fromUtf8("请输入一个介于 %1 和 %2 之间的整数。").arg(minimum).arg(maximum));
    } else {
        member = *value;
    }
    return *this;
}

void ControlReader::fail(QLineEdit* box, const QString& message) {
    ok_ = false;
    Prompter::current().message(owner_, message, DefaultCaption(), Prompter::Buttons::Ok, Prompter::Icon::Warning);
    box->setFocus();
    box->selectAll();
}

void ShowInteger(QLineEdit* box, std::int64_t value) {
    box->setText(QString::fromStdString(kelvane::FormatBoxInteger(value)));
}

void ShowNumber(QLineEdit* box, float value) { box->setText(QString::fromStdString(kelvane::FormatBoxNumber(value))); }

QString DefaultCaption() { return QGuiApplication::applicationDisplayName(); }
