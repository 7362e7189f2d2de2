#pragma once
// A piece of text pinned as a card: what of the clipboard's text it shows, whether it is set in
// a fixed-width face, and how its lines wrap. Portable: the painter hands in how wide a piece
// of text is in the card's face.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velvane {

constexpr int kCardPadding = 10;        // pixels around the text at size 1
constexpr double kCardWrapWidth = 640;  // text lines wrap at this width (pixels at size 1)
constexpr std::size_t kCardMaxLines = 200;

// The clipboard's text as a card shows it: CRLF and lone CR become LF, a NUL ends it, other
// control characters (C0 but TAB and LF, DEL, C1) are dropped, and the whitespace at the very
// end (trailing blank lines too) goes. Empty when nothing visible is left.
std::wstring CardText(std::wstring_view text);

// Whether the card is set in a fixed-width face. It is when every non-blank line starts with a
// space or a tab, or the text looks like code: a single line that starts with "$ " or holds
// "::", "->", "=>" or "();"; or several lines, more than half of the non-blank ones starting
// with "$ ", "//", "/*", "#!", "#include", "#define" or a keyword (def, fn, func, function, class,
// return, import, const, let, var, public, private, static, void, if, else, for, while) followed
// by a space or "(", or ending with ";", "{", "}" or ")".
bool LooksLikeCode(std::wstring_view text);

// The card's lines: each LF-separated paragraph wrapped at spaces so that every line measures
// at most width; the spaces where a line breaks are dropped, a paragraph's own indentation is
// kept. A word wider than the width is broken between characters (never inside a surrogate
// pair); an empty paragraph is an empty line. Tabs become spaces up to the next multiple of 4
// characters from the paragraph's start. At most maxLines lines: when the text needs more, the
// last one kept ends with "…", shortened so that it still fits. No lines for an empty text.
// measure must not shrink as a piece grows (a prefix is never wider than the whole).
std::vector<std::wstring> WrapCardLines(std::wstring_view text, const std::function<double(std::wstring_view)>& measure,
                                        double width = kCardWrapWidth, std::size_t maxLines = kCardMaxLines);

}  // namespace velvane
