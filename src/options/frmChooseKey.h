#pragma once

#include <QDialog>
#include <QList>
#include <array>
#include <cstdint>

class Label;

// Waits for one key press for a command and hands back the accepted key.
// It captures every key itself: Escape, Enter, Tab and the arrows are keys
// like any other here, not ways to close it or move a focus.
class frmChooseKey : public QDialog {
    Q_OBJECT

public:
    // keysInUse: the keys the Options dialog holds now, of every page.
    explicit frmChooseKey(const QList<std::int16_t> &keysInUse, QWidget *parent = nullptr);

    Label *lblChoose;
    Label *lblUsed;

    void Form_KeyDown(int KeyCode);
    // Refuses Shift, Ctrl and Alt alone, and any key held with Ctrl or Alt:
    // for keys that must not act on the undo chords.
    void setModifiersRefused(bool refused) { m_modifiersRefused = refused; }

protected:
    bool event(QEvent *event) override;

private:
    // The invalid-key message and a beep.
    void refuse();

    QList<std::int16_t> m_pendingKeys;
    bool m_modifiersRefused = false;
};
