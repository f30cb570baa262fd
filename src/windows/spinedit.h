#pragma once
// Whole-number edit with up and down arrows.
//
// Unlike QSpinBox, the bounds are plain limits and never move the text shown:
//   Value()      the shown text brought inside MinValue..MaxValue (text that is not a
//                whole number reads as MinValue);
//   SetValue(v)  brings v inside the bounds, then shows it; showing the text already
//                there does nothing;
//   SetMinValue / SetMaxValue   change the limits only;
//   arrows, Up/Down keys and the wheel step by Increment() from Value().
// Change() is emitted whenever the shown text changes (typing, arrows or SetValue).
// Typing refuses text that cannot lead to a value of the field ("530" in 1..10, "-5" in
// 1..10); when the edit ends (Enter, focus out) the field shows Value().

#include <QAbstractSpinBox>

class QAccessibleInterface;
class QKeyEvent;

namespace kelvor {

class TSpinEdit : public QAbstractSpinBox
{
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    qint32 Value() const;
    void SetValue(qint32 valeur);
    qint32 MinValue() const { return minValue_; }
    void SetMinValue(qint32 mini);
    qint32 MaxValue() const { return maxValue_; }
    void SetMaxValue(qint32 maxi);
    qint32 Increment() const { return increment_; }
    void SetIncrement(qint32 pas) { increment_ = pas; }

    // The value v would have once shown.
    qint32 Borne(qint64 v) const;

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Change();

protected:
    bool event(QEvent* e) override;
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;

private:
    // A printable key that typing would refuse: it goes to the window's shortcuts.
    bool RefuseTouche(const QKeyEvent& touche) const;

    qint32 minValue_ = 0;
    qint32 maxValue_ = 100;
    qint32 increment_ = 1;
};

// What assistive tools see of a spin edit: its value, bounds and step, its text.
QAccessibleInterface* AccessibleSpinEdit(TSpinEdit* spin);

} // namespace kelvor
