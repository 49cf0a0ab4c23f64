#pragma once

#include "render/MyCanvasUtils.h"

#include <QColor>
#include <QPoint>
#include <QSize>

#include <optional>

class QImage;
class QPainter;
class TLayout;

// The grey imitation of the pre-printed blank on the preview's lower image
// ImgBlank: the form's own words and writing lines, placed relative to the
// layout, so that the user sees where the printed text falls. Screen only,
// never printed. The layout lines themselves are separate images placed by
// the window and are not drawn here.

/// Pen and text colour of the imitation: silver.
inline const QColor BlankImitationColour = QColor(192, 192, 192);

/**
 * Where the drawing pass puts the in-place input fields of the side and
 * grade it drew: each field's top-left corner in preview pixels at the
 * current ScreenScaleX/Y. A field the drawn side and grade do not have is
 * empty; the window decides whether a placed field is shown.
 */
struct TFieldPlaces
{
  std::optional<QPoint> mmFacults;
  std::optional<QPoint> edGet;
  std::optional<QPoint> edMedal;
  std::optional<QPoint> edAward;
  std::optional<QPoint> edDirector;
  std::optional<QPoint> edRegNum;
  std::optional<QPoint> mmDPA;
};

/// The preview's size in pixels: the layout's page at the current screen
/// scale, round(PageWidth x ScreenScaleX) by round(PageHeight x ScreenScaleY).
QSize BlankImageSize(const TLayout &layout);

/// Gives the canvas the imitation's pen and font: silver, "Times New
/// Roman", bold. DrawBlankSpread and DrawBlankBack call it themselves.
void PrepareBlankCanvas(QPainter &canvas);

/// n times: moves both spans down by pitch and draws them. The spans keep
/// the last row's Y.
void DrawTableRows(QPainter &canvas, TLinePos &subject, TLinePos &mark, double pitch, int n);

/// The spread: the titles and words of the current grade's form (1 = 9th,
/// 2 = 11th; any other value draws only the words both forms share) and the
/// grey rows of the left, right and ДПА tables. Places mmDPA.
TFieldPlaces DrawBlankSpread(QPainter &canvas, const TLayout &layout, int currentGrade);

/// The back side of the current grade's form on a canvas cleared to white:
/// the words and the electives' three middle lines. Places the back side's
/// fields of that grade.
TFieldPlaces DrawBlankBack(QPainter &canvas, const TLayout &layout, int currentGrade);

/// The whole imitation of the visible side on ImgBlank: the image is made
/// the page's size (BlankImageSize) when it is not, cleared to white, and
/// the side drawn. A page of no size leaves a null image; the fields are
/// placed all the same.
TFieldPlaces RedrawBlankImitation(QImage &imgBlank, const TLayout &layout, int currentGrade, bool backSide);
