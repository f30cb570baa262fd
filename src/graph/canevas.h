#pragma once
// The drawing surface the graph paints on: a small raster vocabulary (pen, brush, font,
// lines, rectangles, text) so the graph can be exercised on a recording surface in tests
// and drawn through QPainter on widgets, images and printed pages alike.

#include <QPoint>
#include <QRgb>
#include <QString>
#include <QtGlobal>

#include <memory>

class QFont;
class QPaintDevice;
class QPainter;

namespace kelvor {

constexpr QRgb clBlack = 0xFF000000;
constexpr QRgb clWhite = 0xFFFFFFFF;
constexpr QRgb clRed = 0xFFFF0000;

// Edges as pixel coordinates; like every raster rectangle here, Right and Bottom lie just
// outside the covered pixels.
struct TRectangle
{
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;
    qint32 Bottom = 0;

    friend bool operator==(const TRectangle&, const TRectangle&) = default;
};

enum TStylePen { psSolid, psDash, psDot };
enum TModePen { pmCopy, pmNot }; // pmNot inverts the destination: drawing twice restores it
enum TStyleBrush { bsSolid, bsClear };

struct TPen
{
    QRgb Color = clBlack;
    qint32 Width = 1;
    TStylePen Style = psSolid;
    TModePen Mode = pmCopy;
};

struct TBrush
{
    TStyleBrush Style = bsSolid;
    QRgb Color = clWhite;
};

struct TFonte
{
    QString Name;  // empty: the surface's own default face
    qint32 Size = 8; // points
    QRgb Color = clBlack;
};

// The state is plain data read by each operation, so a caller sets it field by field and
// the surface applies it only when it draws.
class TCanevas
{
public:
    TPen Pen;
    TBrush Brush;
    TFonte Font;
    QPoint PenPos;

    virtual ~TCanevas() = default;

    // Fills Left..Right-1 x Top..Bottom-1 with the brush colour, whatever the brush style.
    virtual void FillRect(const TRectangle& r) = 0;
    // Outline with the pen over x1..x2-1, y1..y2-1; inside with the brush.
    virtual void Rectangle(qint32 x1, qint32 y1, qint32 x2, qint32 y2) = 0;
    void MoveTo(qint32 x, qint32 y) { PenPos = QPoint(x, y); }
    // Covers the pen position and stops one pixel short of (x, y), which becomes the new
    // pen position; so consecutive segments never paint their shared pixel twice.
    virtual void LineTo(qint32 x, qint32 y) = 0;
    // Top-left corner of the text cell at (x, y); background left untouched with a hollow
    // brush.
    virtual void TextOut(qint32 x, qint32 y, const QString& texte) = 0;
    virtual qint32 TextWidth(const QString& texte) = 0;
    virtual qint32 TextHeight(const QString& texte) = 0;
    virtual qint32 PixelsPerInch() = 0;
    virtual TRectangle ClipRect() = 0;
};

// A surface over QPainter. It keeps its state between paintings (as a window's canvas
// does), so it can be created once and attached to a device for each drawing.
class TCanevasQt : public TCanevas
{
public:
    TCanevasQt();
    explicit TCanevasQt(QPaintDevice* device);
    ~TCanevasQt() override;
    TCanevasQt(const TCanevasQt&) = delete;
    TCanevasQt& operator=(const TCanevasQt&) = delete;

    // Begins painting on the device (ends any painting in progress first).
    bool Attache(QPaintDevice* device);
    // Paints through a painter that someone else has begun (a widget's paint event); the
    // painter must outlive the attachment.
    void Attache(QPainter* painter);
    // Ends painting; a device attached by Attache(QPaintDevice*) is released.
    void Detache();
    QPainter* Painter() const { return painter_; }

    void FillRect(const TRectangle& r) override;
    void Rectangle(qint32 x1, qint32 y1, qint32 x2, qint32 y2) override;
    void LineTo(qint32 x, qint32 y) override;
    void TextOut(qint32 x, qint32 y, const QString& texte) override;
    qint32 TextWidth(const QString& texte) override;
    qint32 TextHeight(const QString& texte) override;
    qint32 PixelsPerInch() override;
    TRectangle ClipRect() override;

private:
    void AppliquePen();
    const QFont& FontCourante();

    std::unique_ptr<QPainter> propre_; // the painter we began, if any
    QPainter* painter_ = nullptr;
    bool inversionNative_ = true;      // the device supports raster operations
    // What the painter currently holds, so unchanged state is not pushed again.
    TPen penApplique_;
    bool penValide_ = false;
    bool modeInverse_ = false;
    struct Cache;
    std::unique_ptr<Cache> cache_;
};

// "Calibri" is drawn with the metric-compatible Carlito where Calibri is not installed.
void InstalleSubstitutionCalibri();

} // namespace kelvor
