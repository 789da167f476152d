#pragma once
// Drawing shared by the owner-drawn buttons whose caption takes a colour of its own.
#include <windows.h>

#include <cstdint>
#include <string>

namespace ks::win {

// A stored colour value as an RGB: negative values name a system colour by the index in
// their low byte.
COLORREF ColorToRgb(int32_t color);

// A push button face (themed where themes are on) with `text` centred in `color`.
void DrawCaptionButton(const DRAWITEMSTRUCT& d, HFONT font, COLORREF color,
                       const std::string& text);
// The caption and the focus of a button whose face is drawn already: `text` centred in
// `color` (`grayText` when disabled), moved a pixel when pushed; the focus drawn in
// `focusColor`, or in the caption's when none is given.
void DrawCaptionOnFace(const DRAWITEMSTRUCT& d, HFONT font, COLORREF color, COLORREF grayText,
                       const std::string& text, COLORREF focusColor = CLR_INVALID);

}  // namespace ks::win
