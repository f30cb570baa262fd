#pragma once
// Pieces shared by the windows.

#include <QAccessible>
#include <QBoxLayout>
#include <QStatusBar>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>

namespace kelvor {

class TCanevasQt;

// Tells assistive tools what a plain widget is (a chart, an indicator, ...): the role
// is kept on the widget and answered by one accessibility factory.
void SetRoleAccessible(QWidget* widget, QAccessible::Role role);
// Installs that factory once; it also answers for the spin edits.
void InstalleFabriqueAccessible();

// A readout: its accessible name carries the value shown ("Absorbance : 0,722") so a
// screen reader hears the value, and each change of value is announced. setText and
// clear hide QLabel's: callers hold a TLecture*.
class TLecture : public QLabel
{
public:
    TLecture(const QString& nom, const QString& texte, QWidget* parent);
    void setText(const QString& texte);
    void clear() { setText(QString()); }

private:
    QString nom_;
};

// A window's own status line, put at the foot of its layout: the long part of the hint
// under the mouse shows there, in the window the user is looking at.
QStatusBar* BarreIndications(QBoxLayout* fond);
// Shows a status tip in that line. True when the event was a status tip.
bool AfficheIndication(QEvent* event, QStatusBar* barre);

// First step of a window's destructor: cuts every signal from the window's own widgets
// to the window. Closing the window moves the focus, and a field that loses it ends its
// edit and reports a change, which must not reach a half-destroyed window.
void DetacheEnfants(QWidget* fenetre);

// Images of the "Sauver" drop-down: 0 the companion program, 1 the clipboard, 2 a file.
QIcon ImageDestination(int quoi);

// The graph area of every measurement window. It shows a picture kept in an image, so
// that single points, markers, the cross and inversions can be drawn into it between
// full repaints. The full repaint is the window's (Redessine); it runs when the picture
// is stale: asked for by Invalide, or sized otherwise than the area.
class TZoneImage : public QWidget
{
    Q_OBJECT
public:
    explicit TZoneImage(const QString& nomAccessible, QWidget* parent = nullptr);
    QImage image;
    std::function<void()> Redessine;    // full repaint of the picture, through Attache

    const QImage& Image() const { return image; }
    // Full repaint at the next paint event.
    void Invalide();
    bool Perimee() const;
    // Brings the picture up to date now; false when there is nothing to draw on yet.
    bool Prepare();
    // For the full repaint: the picture at the area's size, the canvas on it. False when
    // the area has no size yet.
    bool Attache(TCanevasQt& canevas);

    // Adds a drawing to the kept picture through the canvas, then shows it. A stale
    // picture is repainted whole instead (that shows the drawing too). A range the graph
    // cannot map draws nothing.
    void DessineDans(TCanevasQt& canevas, const std::function<void()>& dessin);

signals:
    // Left button pressed and released, and every move, in the area's pixels.
    void Appui(qint32 x, qint32 y);
    void Deplacement(qint32 x, qint32 y);
    void Relache(qint32 x, qint32 y);
    // The wheel turned over the area: notches away from the user are positive.
    void Molette(qint32 x, qint32 y, double crans);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool aRedessiner_ = true;
};

} // namespace kelvor
