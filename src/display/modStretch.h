#pragma once

#include <QPointer>
#include <QVector>
#include <cstdint>

class QObject;
class QWidget;

// Scales a window's layout with its size: positions follow the width and
// height ratios, everything else (sizes, fonts, line widths, digit sizes and
// spacing) the height ratio, always from the recorded values, so that
// resizing back restores the layout exactly.
namespace modStretch {

// What was recorded of one control; 0 means "not recorded, leave alone".
// Kept in 32 bits: a maximised window on a large screen is wider than
// 32767 twips.
struct ControlLayout {
    QPointer<QObject> Control;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    std::int32_t FontSize = 0;
    std::int32_t BorderWidth = 0;
    std::int32_t Size = 0;
    std::int32_t PaddingD = 0;
    std::int32_t PaddingI = 0;
    std::int32_t PaddingH = 0;
    std::int32_t PaddingV = 0;
};

inline std::int32_t DesignHeight = 0;
inline std::int32_t DesignWidth = 0;
inline QVector<ControlLayout> LayoutTable;

// Takes the window's size and its controls' layout as the new reference.
void RecordLayout(QWidget *window);
// Scales every recorded control to the window's present size.
void ScaleLayout(QWidget *window);
// 1 for anything below 1 (or not a number), else x.
double AtLeastOne(double x);

// Gives every LED display of the window the digit style.
void SetLedType(const QObject *window, std::int32_t ledType);

} // namespace modStretch
