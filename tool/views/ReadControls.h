// The read-controls and show-members steps of every view with edit boxes. Boxes are read in
// the order the view asks for them; the first box whose text does not parse gets the
// framework's message and the focus, and neither it nor any later box changes its member
// (members read before it keep their new values).
#pragma once

#include <QString>

#include <cstdint>

class QLineEdit;
class QWidget;

class ControlReader {
public:
    // `owner` parents the message box.
    explicit ControlReader(QWidget* owner) : owner_(owner) {}

    ControlReader& integer(QLineEdit* box, std::int32_t& member);
    ControlReader& number(QLineEdit* box, float& member);
    // A 16-bit integer box validated to [minimum, maximum].
    ControlReader& integerInRange(QLineEdit* box, std::int32_t& member, int minimum, int maximum);

    // False once a box failed to parse.
    bool ok() const { return ok_; }

private:
    void fail(QLineEdit* box, const QString& message);

    QWidget* owner_;
    bool ok_ = true;
};

// Members into boxes, formatted as the reading step expects them back.
void ShowInteger(QLineEdit* box, std::int64_t value);
void ShowNumber(QLineEdit* box, float value);

// Caption of message boxes that name none: the application's title.
QString DefaultCaption();
