#pragma once

#include "forms/PixelArea.h"

#include <cstddef>
#include <vector>

namespace quill::forms {

class Control;

// How one windowless control looked at the last look and looks now, in the form's client area.
struct ShownChange {
    Rect before, after;           // the painted part; empty when not shown
    Rect wholeBefore, wholeAfter; // the whole rectangle, where a clipped label's text lies
    bool lookChanged = false;     // colours, font or caption
    // The index of the control on the form that holds it, or of itself for one on the form:
    // what moves as one piece.
    std::size_t piece = 0;
    const Control* control = nullptr;
};

// A rectangle of the window whose pixels are to move by `delta` as they are; what would move
// out of it is dropped.
struct ScrollStep {
    Rect area;
    Point delta;
    std::size_t piece = 0; // the index of the piece's first change
};

// Where a control was and is.
Rect span(const ShownChange& c);
// Whether it moved, changed size or looks different.
bool changed(const ShownChange& c);
// What a step's move leaves behind in its area.
PixelArea bared(const ScrollStep& step);

// What showing a look's changes takes: moves done where the pixels already are, then a paint of
// what no move can supply.
struct RepaintPlan {
    std::vector<ScrollStep> scrolls;
    PixelArea paint;
    // The part of `paint` that changed, not bared by a move.
    Rect changed;
};

// `changes` holds every windowless control in paint order. A piece that only moved, by less than
// its size, over the form's bare surface, moves its pixels and paints the columns it uncovers;
// controls drawn above it that did not change keep their pixels. Anything else, and every
// control over `fixed` (native widgets, painted by themselves), is painted where it was and
// where it is, as one rectangle.
RepaintPlan planRepaint(const std::vector<ShownChange>& changes, const Rect& client,
                        const PixelArea& fixed);

} // namespace quill::forms
