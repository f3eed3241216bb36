#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

class Label;

// Waits for one key press for a command and hands back the accepted key.
// It captures every key itself: Escape, Enter, Tab and the arrows are keys
// like any other here, not ways to close it or move a focus.
class frmChooseKey : public QDialog {
    Q_OBJECT

public:
    // pendingKeys: the ten keys the Options dialog holds now.
    explicit frmChooseKey(const std::array<std::int16_t, 10> &pendingKeys,
                          QWidget *parent = nullptr);

    Label *lblChoose;
    Label *lblUsed;

    void Form_KeyDown(int KeyCode);

protected:
    bool event(QEvent *event) override;

private:
    std::array<std::int16_t, 10> m_pendingKeys;
};
