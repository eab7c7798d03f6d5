// The program editor's tab row: one tab per user program, then the two command tabs
// "删除程序" and "增加程序". The wheel moves among the program tabs only, so it never chooses a
// command, and the row asks for room for ten programs and both command tabs, so that none of
// them hides behind scroll arrows.
#pragma once

#include <QTabBar>

class ProgramTabBar final : public QTabBar {
    Q_OBJECT
public:
    static constexpr int kCommandTabs = 2;
    static constexpr int kMaxProgramTabs = 10;

    using QTabBar::QTabBar;

    QSize sizeHint() const override;

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    int accumulatedDelta_ = 0;  // wheel angle not yet turned into a step
};
