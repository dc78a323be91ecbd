#pragma once

// The pixel codes of an SHP picture, one code byte c at a time:
//
//   c = 0          end of the row
//   c = 1          skip: one count byte n follows, n transparent pixels
//   c even, 2-254  run: one index byte follows, c/2 pixels of that index
//   c odd, 3-255   literal: (c-1)/2 index bytes follow, one per pixel
namespace drovana {

enum class ShpCode { kRowEnd, kSkip, kRun, kLiteral };

constexpr ShpCode ClassifyShpCode(unsigned code) {
    if (code == 0) {
        return ShpCode::kRowEnd;
    }
    if (code == 1) {
        return ShpCode::kSkip;
    }
    return code % 2 == 0 ? ShpCode::kRun : ShpCode::kLiteral;
}

// The pixels of a run or literal code; a skip's come in the byte after it.
constexpr unsigned ShpCodePixels(unsigned code) {
    return code / 2;
}

// The decoder's fast path in one test, "odd and not 1", since a second
// branch would mispredict as often as the first: the code kinds come in no
// order a predictor could learn.
constexpr bool IsLiteralCode(unsigned code) {
    return (code & static_cast<unsigned>(code > 1)) != 0;
}

// All ones for a skip, none for a run: the fast path selects a skip's count
// and colour by mask rather than by branch.
constexpr unsigned SkipMask(unsigned code) {
    return 0u - static_cast<unsigned>(code == 1);
}

}  // namespace drovana
