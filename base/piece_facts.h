#pragma once

// Facts of the piece that the programs and the browser page's script both
// rely on. The page gets them from this header: the web build turns each
// `inline constexpr int kName = value;` line into a JavaScript constant of
// the same name (host/web/piece_facts_js.cmake), so keep them in that form.

// The piece's length, to the first frame of black after the title cards.
inline constexpr int kPieceSeconds = 230;
// The frame rate of the fixed schedule that captures, stills and the
// determinism checkpoints draw on.
inline constexpr int kPieceFps = 60;
// The largest side of a picture drawn: a capture's frame, an offscreen
// surface, the page's canvas.
inline constexpr int kLargestPictureSide = 16384;
