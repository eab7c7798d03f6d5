#include "editor/ProgramTabBar.h"

#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

QSize ProgramTabBar::sizeHint() const {
    QSize hint = QTabBar::sizeHint();
    const int programs = count() - kCommandTabs;
    if (programs < 1) return hint;
    int width = 0;
    int widestProgram = 0;
    for (int tab = 0; tab < count(); ++tab) {
        width += tabSizeHint(tab).width();
        if (tab < programs) widestProgram = std::max(widestProgram, tabSizeHint(tab).width());
    }
    width += (kMaxProgramTabs - programs) * widestProgram;
    hint.setWidth(std::max(hint.width(), width));
    return hint;
}

void ProgramTabBar::wheelEvent(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    accumulatedDelta_ += std::abs(angle.y()) >= std::abs(angle.x()) ? angle.y() : angle.x();
    const int steps = accumulatedDelta_ / QWheelEvent::DefaultDeltasPerStep;
    accumulatedDelta_ %= QWheelEvent::DefaultDeltasPerStep;
    const int lastProgram = count() - kCommandTabs - 1;
    if (steps != 0 && currentIndex() >= 0 && currentIndex() <= lastProgram) {
        const int target = std::clamp(currentIndex() - steps, 0, lastProgram);
        if (target != currentIndex()) setCurrentIndex(target);
    }
    event->accept();
}
