#pragma once
// A piece of text pinned as a card: its lines laid out at size 1 in the user's message font
// (a fixed-width face for code), and drawn from the text at any size, so an enlarged card stays
// sharp and its lines break where they did. Callers hold a GDI+ session (see system/GdiPlus.h).

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "core/Resample.h"

namespace velvane {

// The card's size in pixels at size 1 (what a pin of it shows at 100%): the wrapped lines'
// widest line and line count in the card's face plus kCardPadding on every side; nullopt when
// GDI+ cannot lay it out or there is no text.
std::optional<std::pair<std::int32_t, std::int32_t>> CardSize(const std::wstring& cardText);

// The card drawn to fill the bitmap (premultiplied BGRA, top-down rows): its lines as at size 1,
// every length scaled by bitmap.width / its width at size 1, dark text on an opaque light card.
// False when GDI+ fails.
bool PaintCard(const Pixels& bitmap, const std::wstring& cardText);

}  // namespace velvane
