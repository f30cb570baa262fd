#include "windows/spinedit.h"

#include "windows/communs.h"

#include <QAccessibleValueChangeEvent>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLineEdit>

namespace kelvor {

namespace {

class TAccessibleSpinEdit : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit TAccessibleSpinEdit(TSpinEdit* spin) : QAccessibleWidget(spin, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return Spin()->text();
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return Spin()->Value(); }
    void setCurrentValue(const QVariant& v) override { Spin()->SetValue(v.toInt()); }
    QVariant maximumValue() const override { return Spin()->MaxValue(); }
    QVariant minimumValue() const override { return Spin()->MinValue(); }
    QVariant minimumStepSize() const override { return Spin()->Increment(); }

private:
    TSpinEdit* Spin() const { return static_cast<TSpinEdit*>(widget()); }
};

} // namespace

QAccessibleInterface* AccessibleSpinEdit(TSpinEdit* spin)
{
    return new TAccessibleSpinEdit(spin);
}

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    // Before the text is set: that already asks for this widget's accessible interface.
    InstalleFabriqueAccessible();
    lineEdit()->setText(QStringLiteral("0"));
    // Qt would otherwise rewrite out-of-bounds text on focus loss, which would run the
    // change rule behind the user's back.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
        QAccessibleValueChangeEvent annonce(this, Value());
        QAccessible::updateAccessibility(&annonce);
        emit Change();
    });
    // Typing may pass through values outside the bounds ("3" on the way to "320"); once
    // the edit ends, the field shows the value that will be used.
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] { SetValue(Value()); });
}

qint32 TSpinEdit::Borne(qint64 v) const
{
    if (v < minValue_)
        return minValue_;
    if (v > maxValue_)
        return maxValue_;
    return static_cast<qint32>(v);
}

qint32 TSpinEdit::Value() const
{
    bool ok = false;
    const qint64 v = lineEdit()->text().trimmed().toLongLong(&ok);
    return ok ? Borne(v) : minValue_;
}

void TSpinEdit::SetValue(qint32 valeur)
{
    const QString texte = QString::number(Borne(valeur));
    if (texte != lineEdit()->text())
        lineEdit()->setText(texte);
}

void TSpinEdit::SetMinValue(qint32 mini)
{
    minValue_ = mini;
    updateGeometry();   // the width follows the widest bound
    update();
}

void TSpinEdit::SetMaxValue(qint32 maxi)
{
    maxValue_ = maxi;
    updateGeometry();   // the width follows the widest bound
    update();
}

void TSpinEdit::stepBy(int steps)
{
    SetValue(Borne(qint64(Value()) + qint64(steps) * increment_));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    if (isReadOnly() || !isEnabled())
        return StepNone;
    // Arrows stay live: a step from an out-of-range text first brings it inside.
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State TSpinEdit::validate(QString& input, int&) const
{
    const QString t = input.trimmed();
    if (t.isEmpty())
        return QValidator::Intermediate;
    if (t == QLatin1String("-"))
        return minValue_ < 0 ? QValidator::Intermediate : QValidator::Invalid;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (!ok || t.size() > 11)
        return QValidator::Invalid;
    if (v >= minValue_ && v <= maxValue_)
        return QValidator::Acceptable;
    // More digits only move a number away from zero: a text beyond the bound on its
    // own side of zero can never become a value of the field.
    if ((v > maxValue_ && v > 0) || (v < minValue_ && v < 0) || (t.startsWith('-') && minValue_ >= 0))
        return QValidator::Invalid;
    return QValidator::Intermediate;
}

bool TSpinEdit::RefuseTouche(const QKeyEvent& touche) const
{
    const QString texte = touche.text();
    if (texte.size() != 1 || !texte.at(0).isPrint())
        return false;
    if (touche.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    // Would the text with this character typed in still be a number in the making?
    QString essai = lineEdit()->text();
    const int debut = lineEdit()->hasSelectedText() ? lineEdit()->selectionStart() : lineEdit()->cursorPosition();
    essai.remove(debut, lineEdit()->selectedText().size());
    essai.insert(debut, texte);
    int pos = debut + 1;
    return validate(essai, pos) == QValidator::Invalid;
}

bool TSpinEdit::event(QEvent* e)
{
    // A printable key the edit would refuse anyway (a letter) is left to the window's
    // single-key shortcuts instead of being swallowed.
    if (e->type() == QEvent::ShortcutOverride && RefuseTouche(*static_cast<QKeyEvent*>(e))) {
        e->ignore();
        return true;
    }
    return QAbstractSpinBox::event(e);
}

QSize TSpinEdit::sizeHint() const
{
    QSize s = QAbstractSpinBox::sizeHint();
    const QFontMetrics fm(font());
    const int texte = qMax(fm.horizontalAdvance(QString::number(maxValue_)),
                           fm.horizontalAdvance(QString::number(minValue_)));
    s.rwidth() += texte + fm.horizontalAdvance(QLatin1Char('0'));
    return s;
}

QSize TSpinEdit::minimumSizeHint() const
{
    return sizeHint();
}

} // namespace kelvor
