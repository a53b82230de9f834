#pragma once

#include <QComboBox>

// An editable drop-down box that tells a choice from its list apart from
// typing. `chosen` comes when an item is chosen in the dropped-down list, or
// with the arrow keys or the wheel; text typed into the box never raises it,
// not even when it matches an item and the box then loses the focus or Enter
// is pressed (where `activated` would come).
class ChoiceBox : public QComboBox {
    Q_OBJECT

public:
    explicit ChoiceBox(QWidget *parent = nullptr);

Q_SIGNALS:
    void chosen(int index);

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // While the box hands a focus loss or Enter to its text, an `activated`
    // means typed text.
    bool m_finishingTyping = false;
};
