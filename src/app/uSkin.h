#pragma once

class QApplication;

/// Gives every window of the program one common look: the Fusion style,
/// a light palette and the program's style sheet (resources/skin.qss).
void ApplySkin(QApplication &app);
